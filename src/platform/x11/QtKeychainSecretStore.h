#pragma once

#include "platform/SecretStore.h"

namespace QKeychain {
class Job;
}

namespace vima {

// The Secret Service keyring (gnome-keyring, KWallet ...) through QtKeychain,
// with its plaintext fallback off. Jobs run asynchronously; a keyring that
// cannot be reached fails with the daemon's own message.
class QtKeychainSecretStore final : public SecretStore {
public:
    explicit QtKeychainSecretStore(QString service);

    QCoro::Task<std::optional<QByteArray>> read(QString account) override;
    QCoro::Task<bool> update(QString account, QByteArray data) override;
    QCoro::Task<void> add(QString account, QByteArray data) override;
    QCoro::Task<void> remove(QString account) override;

private:
    // Runs the job to its end; true when it succeeded, false when the item
    // was missing; throws KeychainError on any other outcome.
    static QCoro::Task<bool> finish(QKeychain::Job *job, QString account);

    QString service_;
};

} // namespace vima
