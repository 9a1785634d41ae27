#pragma once

#include "ai/LLMProviderStatus.h"
#include "ai/OllamaReachability.h"
#include "settings/ai/TextRoute.h"

#include <QCoroTask>
#include <QObject>
#include <QString>
#include <QStringList>

namespace vima {

class ConfigStore;
class LLMService;
class PermissionsService;

// Whether AI actions can run at all, in plain words, for the AI tab's simple
// view, and how far the local Ollama server is from answering. Recomputed when
// the AI settings, the trust or the providers' statuses change; reads only
// cached state, so it never waits on the keyring or network.
class AISetupModel final : public QObject {
    Q_OBJECT

public:
    // The local server as the last probe of its address found it.
    using Local = OllamaReachability::Readiness;

    AISetupModel(ConfigStore &store, LLMService &llm, PermissionsService &permissions,
                 QObject *parent = nullptr);

    bool isReady() const { return state_.ready; }
    QString headline() const;
    QString detail() const;
    Local local() const { return state_.local; }
    // The model the local server would be asked for.
    const QString &localModel() const { return state_.model; }
    // Whether something the user must do stands between the local server and
    // an answer (not a check still to come).
    bool isLocalBlocked() const;
    // What stands between the local server and an answer; empty when nothing does.
    QString localReason() const;
    // The steps that get the local server further, in order.
    QStringList localSteps() const;
    // What the local card promises about where text goes.
    QString localPromise() const;
    const TextRoute &route() const { return state_.route; }
    bool isChecking() const { return checking_; }
    bool showsAccessibilityWarning() const { return !state_.trusted; }

    void refresh();
    // The view came on screen: from now on a missing or stale result of the
    // local server is checked by itself.
    void shown();
    // Probes the local server now.
    QCoro::Task<void> checkAgain();

Q_SIGNALS:
    void changed();

private:
    struct State {
        bool ready = false;
        bool trusted = false;
        Local local = Local::unknown;
        QString model;
        QString base;
        QString problem;
        LLMProviderStatus chosen;
        TextRoute route;
        bool operator==(const State &) const = default;
    };

    State read() const;

    ConfigStore &store_;
    LLMService &llm_;
    PermissionsService &permissions_;
    State state_;
    bool checking_ = false;
    bool watching_ = false;
};

} // namespace vima
