#pragma once

#include <QByteArray>
#include <QCoroTask>
#include <QString>
#include <optional>

namespace vima {

// The user's keyring, holding this application's secrets by account name.
// Every call may throw KeychainError.
class SecretStore {
public:
    virtual ~SecretStore() = default;

    // The item's data, or nothing when there is no such item.
    virtual QCoro::Task<std::optional<QByteArray>> read(QString account) = 0;
    // Replaces an existing item's data; false (and nothing written) when there is no such item.
    virtual QCoro::Task<bool> update(QString account, QByteArray data) = 0;
    virtual QCoro::Task<void> add(QString account, QByteArray data) = 0;
    // A missing item is no error.
    virtual QCoro::Task<void> remove(QString account) = 0;
};

} // namespace vima
