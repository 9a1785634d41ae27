#include "settings/ai/AISetupModel.h"

#include "ai/LLMService.h"
#include "ai/OllamaProvider.h"
#include "ai/ProviderDisplayName.h"
#include "ai/ShownAddress.h"
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

bool AISetupModel::isLocalBlocked() const
{
    return state_.local != Local::unknown && state_.local != Local::ready;
}

QString AISetupModel::localReason() const
{
    switch (state_.local) {
    case Local::unreadable:
        return OllamaProvider::unreadable(state_.base);
    case Local::notHttp:
        return OllamaProvider::notHttp(state_.base);
    case Local::unknown:
        return QStringLiteral("Looking for Ollama at ") + shownAddress(state_.base) + QStringLiteral("…");
    case Local::noServer:
        return QStringLiteral("No Ollama server answers at ") + shownAddress(state_.base) + QLatin1Char('.');
    case Local::certificateRefused:
        return OllamaProvider::certificateRefused(state_.base, state_.problem);
    case Local::loginRefused:
        return OllamaProvider::loginRefused(state_.base);
    case Local::redirectRefused:
        return OllamaProvider::redirectRefused(state_.base, state_.problem);
    case Local::notPulled:
        return OllamaProvider::notPulled(state_.model);
    case Local::ready:
        break;
    }
    return {};
}

// "Never leaves" is promised only while it is true; where else text goes is
// told beneath it.
QString AISetupModel::localPromise() const
{
    const QString local = QStringLiteral("Private, and runs on this computer. ");
    if (state_.route.staysLocal())
        return local + QStringLiteral("No API key, nothing extra to pay, and your text never leaves the machine.");
    if (state_.route.chosenIsCloud() && state_.route.instead.isEmpty())
        return local + QStringLiteral("No API key and nothing extra to pay. While ")
               + displayName(state_.route.chosen) + QStringLiteral(" is chosen, your text goes there instead.");
    return local + QStringLiteral("No API key and nothing extra to pay.");
}

QStringList AISetupModel::localSteps() const
{
    const QString pull = OllamaProvider::pullStep(state_.model);
    switch (state_.local) {
    case Local::unreadable:
        return {OllamaProvider::addressStep()};
    case Local::loginRefused:
        return {OllamaProvider::loginStep()};
    case Local::redirectRefused:
        return {QStringLiteral("Under Advanced, Local server, give the address Ollama answers at itself.")};
    case Local::notHttp:
        return {QStringLiteral("Under Advanced, Local server, give an address that starts with http:// or https://.")};
    case Local::certificateRefused:
        return {QStringLiteral("Give the server a certificate this computer trusts, or use its http:// address.")};
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

AISetupModel::State AISetupModel::read() const
{
    const AISettings &settings = store_.config().ai;
    State state;
    state.base = LLMService::ollamaBaseURL(settings);
    state.trusted = permissions_.isAccessibilityTrusted();
    state.model = LLMService::modelFor(LLMProviderKind::ollama, settings);
    state.problem = llm_.reachability().problem(state.base);
    state.chosen = llm_.statusText(settings.provider, settings);
    state.route = TextRoute::of(llm_, settings);
    state.local = llm_.reachability().readiness(state.base, state.model);
    // A cloud provider whose last connection failed is still tried, but the
    // headline says so rather than promising an answer.
    const QList<LLMProviderKind> candidates = llm_.candidates(AIPayload{}, settings);
    state.ready = std::ranges::any_of(
        candidates, [&](LLMProviderKind kind) { return llm_.statusText(kind, settings).isReady(); });
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
    const QString checked = state_.base;
    co_await llm_.refresh(store_.config().ai);
    if (!self)
        co_return;
    checking_ = false;
    state_ = read();
    // The address changed while the probe ran: the new one is asked in turn.
    if (state_.local == Local::unknown && state_.base != checked) {
        checkAgain();
        co_return;
    }
    Q_EMIT changed();
}

} // namespace vima
