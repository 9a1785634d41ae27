#pragma once

#include "platform/KeychainError.h"
#include "platform/SecretStore.h"

#include <QMap>

namespace vima {

// A keyring in memory. Set `failure` to have every call throw it.
class FakeSecretStore final : public SecretStore {
public:
    QCoro::Task<std::optional<QByteArray>> read(QString account) override;
    QCoro::Task<bool> update(QString account, QByteArray data) override;
    QCoro::Task<void> add(QString account, QByteArray data) override;
    QCoro::Task<void> remove(QString account) override;

    QMap<QString, QByteArray> items;
    std::optional<KeychainError> failure;
    int reads = 0;
    int updates = 0;
    int adds = 0;

private:
    void failIfAsked() const;
};

} // namespace vima
