#include "settings/ai/AISetupModel.h"

#include "ai/LLMService.h"
#include "services/PermissionsService.h"
#include "store/ConfigStore.h"

#include <QPointer>
#include <algorithm>

namespace vima {

AISetupModel::AISetupModel(ConfigStore &store, LLMService &llm, PermissionsService &permissions,
                           QObject *parent)
    : QObject(parent), store_(store), llm_(llm), permissions_(permissions)
{
    connect(&store_, &ConfigStore::configChanged, this, &AISetupModel::refresh);
    connect(&permissions_, &PermissionsService::accessibilityTrustedChanged, this, &AISetupModel::refresh);
    connect(&llm_, &LLMService::statusRevisionChanged, this, &AISetupModel::refresh);
    refresh();
}

QString AISetupModel::headline() const
{
    return state_.ready ? QStringLiteral("AI is ready — nothing to set up")
                        : QStringLiteral("AI isn't working yet");
}

// The detail looks at the local server first, the headline at the candidates.
QString AISetupModel::detail() const
{
    if (state_.local == Local::ready)
        return QStringLiteral("Your local AI is running. Nothing to sign up for, nothing to pay.");
    if (state_.ready)
        return QStringLiteral("Tavelon is using the AI service you set up below.");
    if (store_.config().ai.provider != LLMProviderKind::ollama) {
        if (state_.chosen.kind == LLMProviderStatus::Case::needsKey)
            return QStringLiteral("No API key saved.");
        return state_.chosen.text;
    }
    return localReason();
}

QString AISetupModel::localReason() const
{
    switch (state_.local) {
    case Local::unknown:
        return QStringLiteral("Looking for Ollama at ") + state_.address + QStringLiteral("…");
    case Local::noServer:
        return QStringLiteral("No Ollama server answers at ") + state_.address + QLatin1Char('.');
    case Local::notPulled:
        return QStringLiteral("Ollama is running, but the model “") + state_.model
               + QStringLiteral("” isn't pulled yet.");
    case Local::ready:
        break;
    }
    return {};
}

QStringList AISetupModel::localSteps() const
{
    const QString pull = QStringLiteral("Get the model: ollama pull ") + state_.model;
    switch (state_.local) {
    case Local::noServer:
        return {QStringLiteral("Install Ollama from ollama.com, if it isn't yet."),
                QStringLiteral("Start it: ollama serve"), pull};
    case Local::notPulled:
        return {pull, QStringLiteral("Wait for the download to finish, then click Check Again.")};
    case Local::unknown:
    case Local::ready:
        break;
    }
    return {};
}

bool AISetupModel::canOpenAccessibilitySettings() const
{
    return permissions_.canOpenAccessibilitySettings();
}

void AISetupModel::openAccessibilitySettings()
{
    permissions_.openAccessibilitySettings();
}

AISetupModel::State AISetupModel::read() const
{
    const AISettings &settings = store_.config().ai;
    const QUrl base = LLMService::ollamaBaseURL(settings);
    State state;
    state.trusted = permissions_.isAccessibilityTrusted();
    state.model = LLMService::makeRequest(AIPayload{}, QString(), settings, LLMProviderKind::ollama).model;
    state.address = base.toString();
    state.chosen = llm_.statusText(settings.provider, settings);

    const OllamaReachability &reachability = llm_.reachability();
    const std::optional<bool> answered = reachability.lookup(base);
    const std::optional<QStringList> models = reachability.models(base);
    const auto hasModel = [&state](const QString &name) { return OllamaReachability::sameModel(name, state.model); };
    if (!answered)
        state.local = Local::unknown;
    else if (!*answered)
        state.local = Local::noServer;
    else if (models && std::ranges::none_of(*models, hasModel))
        state.local = Local::notPulled;
    else
        state.local = Local::ready;

    // A server without the model would only answer that it lacks it.
    QList<LLMProviderKind> kinds = llm_.candidates(AIPayload{}, settings);
    if (state.local == Local::notPulled)
        kinds.removeAll(LLMProviderKind::ollama);
    state.ready = !kinds.isEmpty();
    return state;
}

void AISetupModel::refresh()
{
    const State state = read();
    if (state.local == Local::unknown && watching_ && !checking_) {
        checkAgain();
        return;
    }
    if (state == state_)
        return;
    state_ = state;
    Q_EMIT changed();
}

void AISetupModel::shown()
{
    watching_ = true;
    refresh();
}

QCoro::Task<void> AISetupModel::checkAgain()
{
    if (checking_)
        co_return;
    const QPointer<AISetupModel> self(this);
    checking_ = true;
    state_ = read();
    Q_EMIT changed();
    const QString checked = state_.address;
    co_await llm_.refresh(store_.config().ai);
    if (!self)
        co_return;
    checking_ = false;
    state_ = read();
    // The address changed while the probe ran: the new one is asked in turn.
    if (state_.local == Local::unknown && state_.address != checked) {
        checkAgain();
        co_return;
    }
    Q_EMIT changed();
}

} // namespace vima
