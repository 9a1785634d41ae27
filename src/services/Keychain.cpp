#include "services/Keychain.h"

#include "platform/KeychainError.h"

#include <QCoroSignal>
#include <QPointer>
#include <QStringDecoder>

namespace vima {
namespace {

std::optional<QString> decodeKey(const std::optional<QByteArray> &data)
{
    if (!data || data->isEmpty())
        return std::nullopt;
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString key = utf8.decode(*data);
    if (utf8.hasError())
        return std::nullopt;
    return key; // as stored: trimming happens on the way in
}

} // namespace

const QString Keychain::service = QStringLiteral("com.vima.Vima");

Keychain::Keychain(SecretStore &store) : store_(store)
{
}

QString Keychain::account(LLMProviderKind kind)
{
    return QStringLiteral("api-key.") + rawValue(kind);
}

std::optional<QString> Keychain::apiKey(LLMProviderKind kind) const
{
    const auto found = keys_.constFind(account(kind));
    return found == keys_.constEnd() ? std::nullopt : std::optional(*found);
}

QCoro::Task<void> Keychain::load()
{
    for (const LLMProviderKind kind : allProviderKinds())
        co_await readAPIKey(kind);
}

QCoro::Task<void> Keychain::ensureLoaded()
{
    if (loading_ == Loading::done)
        co_return;
    if (loading_ == Loading::running) {
        co_await qCoro(this, &Keychain::loaded);
        co_return;
    }
    loading_ = Loading::running;
    const QPointer<Keychain> self(this);
    co_await load();
    if (!self)
        co_return;
    loading_ = Loading::done;
    Q_EMIT loaded();
}

QCoro::Task<std::optional<QString>> Keychain::readAPIKey(LLMProviderKind kind)
{
    const QString name = account(kind);
    std::optional<QByteArray> data;
    try {
        data = co_await store_.read(name);
    } catch (const KeychainError &) {
        // A locked or unreachable keyring reads as no key: the AI layer then
        // reports the missing key.
    }
    const auto key = decodeKey(data);
    cache(name, key);
    co_return key;
}

QCoro::Task<void> Keychain::setAPIKey(std::optional<QString> value, LLMProviderKind kind)
{
    const QString name = account(kind);
    const QString trimmed = value.value_or(QString()).trimmed();
    if (trimmed.isEmpty()) {
        co_await remove(name);
        co_return;
    }
    const QByteArray data = trimmed.toUtf8();
    const bool updated = co_await store_.update(name, data);
    if (!updated)
        co_await store_.add(name, data);
    cache(name, trimmed);
}

QCoro::Task<void> Keychain::remove(QString account)
{
    co_await store_.remove(account);
    cache(account, std::nullopt);
}

void Keychain::cache(const QString &account, std::optional<QString> key)
{
    if (key)
        keys_.insert(account, *key);
    else
        keys_.remove(account);
}

} // namespace vima
