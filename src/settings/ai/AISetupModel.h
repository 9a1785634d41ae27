#pragma once

#include "ai/LLMProviderStatus.h"

#include <QObject>
#include <QString>

namespace vima {

class ConfigStore;
class LLMService;
class PermissionsService;

// Whether AI actions can run at all, in plain words, for the AI tab's simple
// view. Recomputed when the AI settings, the trust or the providers' statuses
// change; reads only cached state, so it never waits on the keyring or network.
class AISetupModel final : public QObject {
    Q_OBJECT

public:
    AISetupModel(ConfigStore &store, LLMService &llm, PermissionsService &permissions,
                 QObject *parent = nullptr);

    bool isReady() const { return state_.ready; }
    const LLMProviderStatus &onDeviceStatus() const { return state_.onDevice; }
    QString headline() const;
    QString detail() const;
    bool showsAccessibilityWarning() const { return !state_.trusted; }
    bool canOpenAccessibilitySettings() const;

    void refresh();
    void openAccessibilitySettings();

Q_SIGNALS:
    void changed();

private:
    struct State {
        bool ready = false;
        bool trusted = false;
        LLMProviderStatus onDevice;
        bool operator==(const State &) const = default;
    };

    ConfigStore &store_;
    LLMService &llm_;
    PermissionsService &permissions_;
    State state_;
};

} // namespace vima
