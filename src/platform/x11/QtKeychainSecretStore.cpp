#include "platform/x11/QtKeychainSecretStore.h"

#include "platform/KeychainError.h"

#include <QCoroSignal>
#include <qt6keychain/keychain.h>

#include <memory>

namespace vima {
namespace {

// Jobs are deleted by us, later: never inside their own finished signal.
struct LaterDeleter {
    void operator()(QObject *object) const { object->deleteLater(); }
};
template<typename Job>
using JobPtr = std::unique_ptr<Job, LaterDeleter>;

template<typename Job>
JobPtr<Job> makeJob(const QString &service)
{
    JobPtr<Job> job(new Job(service));
    job->setAutoDelete(false);
    job->setInsecureFallback(false);
    return job;
}

} // namespace

QtKeychainSecretStore::QtKeychainSecretStore(QString service) : service_(std::move(service))
{
}

QCoro::Task<bool> QtKeychainSecretStore::finish(QKeychain::Job *job, QString account)
{
    job->setKey(account);
    job->start();
    co_await qCoro(job, &QKeychain::Job::finished);
    switch (job->error()) {
    case QKeychain::NoError: co_return true;
    case QKeychain::EntryNotFound: co_return false;
    default: throw KeychainError(job->error(), job->errorString());
    }
}

QCoro::Task<std::optional<QByteArray>> QtKeychainSecretStore::read(QString account)
{
    auto job = makeJob<QKeychain::ReadPasswordJob>(service_);
    const bool found = co_await finish(job.get(), account);
    co_return found ? std::optional(job->binaryData()) : std::nullopt;
}

QCoro::Task<bool> QtKeychainSecretStore::update(QString account, QByteArray data)
{
    // The Secret Service writes in place; only the existence check is ours.
    const auto existing = co_await read(account);
    if (existing)
        co_await add(account, data);
    co_return existing.has_value();
}

QCoro::Task<void> QtKeychainSecretStore::add(QString account, QByteArray data)
{
    auto job = makeJob<QKeychain::WritePasswordJob>(service_);
    // Stored as text, so that keyring browsers show the key as it is.
    job->setTextData(QString::fromUtf8(data));
    const bool written = co_await finish(job.get(), account);
    if (!written)
        throw KeychainError(QKeychain::EntryNotFound, job->errorString());
}

QCoro::Task<void> QtKeychainSecretStore::remove(QString account)
{
    auto job = makeJob<QKeychain::DeletePasswordJob>(service_);
    co_await finish(job.get(), account);
}

} // namespace vima
