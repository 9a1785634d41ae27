#pragma once

#include "model/Settings.h"
#include "platform/SecretStore.h"

#include <QHash>
#include <QObject>

namespace vima {

// The API keys of the AI providers, kept in the user's keyring and never
// anywhere else. Reads for a request come from a cache filled by `load` and
// kept current by every write through this object, so nobody waits on the
// keyring on the GUI thread.
class Keychain : public QObject {
    Q_OBJECT

public:
    static const QString service; // "com.vima.Vima"

    explicit Keychain(SecretStore &store);

    // "api-key." and the provider's raw value.
    static QString account(LLMProviderKind kind);

    // The cached key; nothing until read, or when the keyring has none.
    std::optional<QString> apiKey(LLMProviderKind kind) const;

    // Reads every provider's key into the cache.
    QCoro::Task<void> load();
    // Reads every key the first time it is asked; calls while that read runs
    // wait for it, later ones find the cache filled.
    QCoro::Task<void> ensureLoaded();
    // Reads one key from the keyring and caches it. Any failure reads as no key.
    QCoro::Task<std::optional<QString>> readAPIKey(LLMProviderKind kind);
    // Stores the key trimmed; nothing or a blank value deletes it. Throws KeychainError.
    QCoro::Task<void> setAPIKey(std::optional<QString> value, LLMProviderKind kind);
    // Removes an item by account name; a missing item is no error. Throws KeychainError.
    QCoro::Task<void> remove(QString account);

Q_SIGNALS:
    void loaded();

private:
    void cache(const QString &account, std::optional<QString> key);

    SecretStore &store_;
    enum class Loading { idle, running, done } loading_ = Loading::idle;
    QHash<QString, QString> keys_; // by account; absent keys are not held
};

} // namespace vima
