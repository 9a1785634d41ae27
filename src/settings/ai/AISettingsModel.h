#pragma once

#include "ai/LLMProviderStatus.h"
#include "model/Settings.h"
#include "settings/ai/ModelChoice.h"
#include "settings/ai/TextRoute.h"

#include <QCoroTask>
#include <QObject>
#include <QString>
#include <optional>

class QSettings;

namespace vima {

class ConfigStore;
class Keychain;
class LLMService;
class PermissionsService;

// The AI tab without its widgets: the remembered view mode, the provider
// choice, the API key's draft and the results of saving, removing and
// testing keys. Settings are written only by the user's actions.
class AISettingsModel final : public QObject {
    Q_OBJECT

public:
    enum class Mode { simple, advanced };

    // The result line beside the Test Key button.
    struct KeyStatus {
        bool ok = false;
        QString text;
        bool operator==(const KeyStatus &) const = default;
    };

    static inline const QString modeKey = QStringLiteral("settings.ai.mode");

    AISettingsModel(ConfigStore &store, LLMService &llm, Keychain &keychain, PermissionsService &permissions,
                    QSettings &defaults, QObject *parent = nullptr);

    Mode mode() const { return mode_; }
    void setMode(Mode mode);

    const AISettings &settings() const;
    LLMProviderStatus providerStatus(LLMProviderKind kind) const;
    // The on-device model can't run here: it is listed only while it is the choice.
    bool listsProvider(LLMProviderKind kind) const;
    // The model menu of the chosen provider; for Ollama, what its server has first.
    QList<ModelChoice> modelChoices() const;
    void selectProvider(LLMProviderKind kind);
    void setModel(const QString &model);
    // Where text may go, and which saved keys send it off this computer.
    TextRoute route() const;

    // The local server section's hint, naming the model it would be asked for.
    QString serverHint() const;
    bool showsAPIKey() const;
    bool showsLocalServer() const;
    bool showsModel() const;
    bool showsAccessibilityWarning() const;

    QString keyFieldLabel() const;
    QString keyPlaceholder() const;
    const QString &keyDraft() const { return keyDraft_; }
    void setKeyDraft(const QString &draft);
    bool hasStoredKey() const { return hasStoredKey_; }
    const std::optional<KeyStatus> &status() const { return status_; }
    bool isTesting() const { return running_ == Operation::test; }
    bool canSave() const;
    bool canRemove() const;
    // Whether the saved key of `kind`, chosen or not, can be removed now.
    bool canRemove(LLMProviderKind kind) const;
    bool canTest() const;

    // The awaited keyring and network work; a result lands only while the
    // model exists and the provider it was started for is still chosen.
    QCoro::Task<void> saveKey();
    // The chosen provider's key, or another's (which a local choice may
    // send strong-model actions to).
    QCoro::Task<void> removeKey();
    QCoro::Task<void> removeKey(LLMProviderKind provider);
    QCoro::Task<void> testKey();

    // Whole seconds of the stored timeout and "s"; "—" when no integer holds it.
    static QString timeoutLabel(double seconds);
    QString maxTokensText() const;
    // Takes a number in the user's locale; false (nothing written) otherwise.
    bool commitMaxTokens(const QString &text);

    // The page came on screen.
    void shown();
    void refreshStatuses();
    void readStoredKey();
    void refreshKeyState();

Q_SIGNALS:
    void changed();
    void modeChanged(Mode mode);

private:
    enum class Operation { none, save, remove, test };

    // Marks the start of an operation; the provider switch count it started under.
    quint64 begin(Operation operation);
    // Ends it; shows `result` unless the provider changed since it began.
    bool land(quint64 started, std::optional<KeyStatus> result);

    ConfigStore &store_;
    LLMService &llm_;
    Keychain &keychain_;
    PermissionsService &permissions_;
    QSettings &defaults_;
    Mode mode_;
    QString keyDraft_;
    bool hasStoredKey_ = false;
    std::optional<KeyStatus> status_;
    Operation running_ = Operation::none;
    quint64 providerSwitches_ = 0;
};

} // namespace vima
