#include "ai/LLMService.h"

#include "ai/AppleOnDeviceProvider.h"
#include "ai/OllamaProvider.h"
#include "ai/ProviderDisplayName.h"

#include <QLoggingCategory>
#include <QPointer>
#include <QStringList>
#include <algorithm>

namespace vima {

namespace {

Q_LOGGING_CATEGORY(lcLLM, "com.vima.Vima.LLM")

QString trimSpacesAndTabs(const QString &text)
{
    const auto blank = [](QChar c) { return c == QLatin1Char(' ') || c == QLatin1Char('\t'); };
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && blank(text.at(begin)))
        ++begin;
    while (end > begin && blank(text.at(end - 1)))
        --end;
    return text.mid(begin, end - begin);
}

// An error led by the name of the provider it came from.
QString describedWithName(LLMProviderKind kind, const LLMError &error)
{
    const QString name = displayName(kind);
    const QString description = error.description();
    return description.startsWith(name) ? description : name + QStringLiteral(": ") + description;
}

} // namespace

LLMService::Endpoints LLMService::Endpoints::fromEnvironment()
{
    Endpoints endpoints;
    const auto read = [](const char *name, std::optional<QUrl> &endpoint) {
        const QString address = qEnvironmentVariable(name);
        if (!address.isEmpty())
            endpoint = QUrl(address);
    };
    read("TAVELON_ANTHROPIC_URL", endpoints.anthropic);
    read("TAVELON_OPENAI_URL", endpoints.openAI);
    return endpoints;
}

LLMService::ProviderTable LLMService::standardProviders(const Endpoints &endpoints,
                                                        OllamaReachability &reachability,
                                                        Scheduler &scheduler)
{
    ProviderTable table;
    table[LLMProviderKind::appleOnDevice] = std::make_unique<AppleOnDeviceProvider>();
    table[LLMProviderKind::anthropic] = std::make_unique<AnthropicProvider>(
        endpoints.anthropic, AnthropicProvider::currentAPIVersion(), scheduler);
    table[LLMProviderKind::openai] = std::make_unique<OpenAIProvider>(endpoints.openAI, scheduler);
    table[LLMProviderKind::ollama] = std::make_unique<OllamaProvider>(reachability, scheduler);
    return table;
}

LLMService::LLMService(KeyLookup apiKey, ProviderTable providers, OllamaReachability &reachability,
                       QObject *parent)
    : QObject(parent), apiKey_(std::move(apiKey)), providers_(std::move(providers)),
      reachability_(reachability)
{
}

QList<LLMProviderKind> LLMService::fallbackOrder()
{
    return {LLMProviderKind::appleOnDevice, LLMProviderKind::ollama, LLMProviderKind::anthropic,
            LLMProviderKind::openai};
}

const LLMProvider *LLMService::provider(LLMProviderKind kind) const
{
    const auto it = providers_.find(kind);
    return it == providers_.end() ? nullptr : it->second.get();
}

bool LLMService::isCloud(LLMProviderKind kind)
{
    return kind == LLMProviderKind::anthropic || kind == LLMProviderKind::openai;
}

QList<LLMProviderKind> LLMService::consideredKinds(const AIPayload &payload,
                                                   const AISettings &settings) const
{
    // Text leaves the machine only by the user's choice: a cloud provider
    // chosen, or an item that needs a strong model (its key saved, else it is
    // not ready). Fallback from a local provider stays on this machine.
    QList<LLMProviderKind> wanted;
    if (payload.needsStrongModel)
        wanted << LLMProviderKind::anthropic << LLMProviderKind::openai;
    wanted << settings.provider;
    if (settings.autoFallback) {
        for (LLMProviderKind kind : fallbackOrder()) {
            if (isCloud(settings.provider) || !isCloud(kind))
                wanted << kind;
        }
    }

    QList<LLMProviderKind> kinds;
    for (LLMProviderKind kind : wanted) {
        if (!kinds.contains(kind) && provider(kind))
            kinds << kind;
    }
    return kinds;
}

QList<LLMProviderKind> LLMService::candidates(const AIPayload &payload,
                                              const AISettings &settings) const
{
    QList<LLMProviderKind> ready;
    for (LLMProviderKind kind : consideredKinds(payload, settings)) {
        if (statusFor(kind, payload, settings).isReady())
            ready << kind;
    }
    return ready;
}

QCoro::Task<QList<LLMProviderKind>> LLMService::freshCandidates(AIPayload payload,
                                                                AISettings settings,
                                                                CancellationToken token)
{
    // A probe result only lasts a short while; without this a running Ollama
    // server would drop out of the candidates soon after start-up.
    // A server found stopped, or without the model, is asked again: the user
    // may just have started it or pulled the model.
    if (consideredKinds(payload, settings).contains(LLMProviderKind::ollama)
        && !statusFor(LLMProviderKind::ollama, payload, settings).isReady()) {
        co_await reachability_.probe(ollamaBaseURL(settings), token);
        if (token.isCancelled())
            throw LLMError::cancelled();
        raiseStatusRevision();
    }
    co_return candidates(payload, settings);
}

LLMRequest LLMService::makeRequest(const AIPayload &payload, const QString &userText,
                                   const AISettings &settings, LLMProviderKind kind)
{
    const bool chosen = kind == settings.provider;
    const QString override = trimSpacesAndTabs(payload.modelOverride.value_or(QString()));
    QString model;
    if (chosen && !override.isEmpty())
        model = override;
    else if (chosen)
        model = trimSpacesAndTabs(settings.model);
    if (model.isEmpty())
        model = defaultModel(kind);
    return LLMRequest{payload.systemPrompt, userText, model, settings.maxTokens,
                      LLMRequest::clampedTimeout(settings.timeout)};
}

QString LLMService::modelFor(LLMProviderKind kind, const AISettings &settings)
{
    return makeRequest(AIPayload{}, QString(), settings, kind).model;
}

LLMCredentials LLMService::credentials(LLMProviderKind kind, const AISettings &settings) const
{
    switch (kind) {
    case LLMProviderKind::anthropic:
    case LLMProviderKind::openai:
        return LLMCredentials{apiKey_ ? apiKey_(kind) : std::nullopt, std::nullopt};
    case LLMProviderKind::ollama:
        return LLMCredentials{std::nullopt, ollamaBaseURL(settings)};
    case LLMProviderKind::appleOnDevice:
        return LLMCredentials::none();
    }
    Q_UNREACHABLE();
    return LLMCredentials::none();
}

QCoro::Task<LLMService::Completion> LLMService::complete(AIPayload payload, QString userText,
                                                         AISettings settings,
                                                         CancellationToken token)
{
    const QList<LLMProviderKind> kinds = co_await freshCandidates(payload, settings, token);
    if (kinds.isEmpty())
        throw LLMError::nothingAnswered(noProviderDetail(settings), noProviderRecovery());

    QList<Failure> failures;
    for (qsizetype index = 0; index < kinds.size(); ++index) {
        if (token.isCancelled())
            throw LLMError::cancelled();
        const LLMProviderKind kind = kinds.at(index);
        const LLMCredentials given = credentials(kind, settings);
        try {
            const LLMResponse reply = co_await provider(kind)->complete(
                makeRequest(payload, userText, settings, kind), given, token);
            if (rememberReach(kind, given.apiKey, nullptr))
                raiseStatusRevision();
            const QString answer = reply.text.trimmed();
            // An answer of only white space is no answer: handed on, it would
            // replace the user's selection with nothing.
            if (answer.isEmpty())
                throw LLMError::invalidResponse();
            co_return Completion{answer, kind,
                                 index > 0 ? fallbackNote(settings.provider, kind, failures.last().kind,
                                                          failures.last().error)
                                           : std::nullopt,
                                 reply.truncated};
        } catch (const LLMError &error) {
            if (error.kind() == LLMError::Case::cancelled)
                throw;
            // A server found stopped shows so at once, not as "Ready".
            if (rememberReach(kind, given.apiKey, &error) || !statusText(kind, settings).isReady())
                raiseStatusRevision();
            failures.append(Failure{kind, error});
            if (!settings.autoFallback || index == kinds.size() - 1 || !error.allowsFallback())
                throw failureOf(failures, settings);
            qCInfo(lcLLM, "%s failed, trying next provider", qUtf8Printable(rawValue(kind)));
        }
    }
    Q_UNREACHABLE();
}

LLMError LLMService::failureOf(const QList<Failure> &failures, const AISettings &settings) const
{
    // Read after the walk: a server that could not be reached is no longer
    // ready. A cloud provider's failed connection speaks for itself.
    const bool chosenReady = statusFor(settings.provider, AIPayload{}, settings).isReady();
    if (failures.size() == 1 && chosenReady)
        return failures.first().error;

    // The chosen provider's own failure leads, then the others in the order tried.
    const auto chosen = std::find_if(failures.begin(), failures.end(), [&settings](const Failure &failure) {
        return failure.kind == settings.provider;
    });
    QStringList lines;
    std::optional<QString> recovery;
    if (!chosenReady) {
        lines << chosenObstacle(settings);
        recovery = noProviderRecovery();
    } else if (chosen != failures.end()) {
        lines << describedWithName(chosen->kind, chosen->error);
        recovery = chosen->error.recoverySuggestion();
    } else {
        recovery = failures.first().error.recoverySuggestion();
    }
    for (const Failure &failure : failures) {
        if (failure.kind == settings.provider)
            continue;
        const QString lead = lines.isEmpty() ? QString() : QStringLiteral("Also tried ");
        lines << lead + displayName(failure.kind) + QStringLiteral(": ") + failure.error.description();
    }
    return LLMError::nothingAnswered(lines.join(QLatin1Char('\n')), recovery);
}

std::optional<QString> LLMService::fallbackNote(LLMProviderKind chosen, LLMProviderKind answering,
                                                LLMProviderKind failed, const LLMError &lastError)
{
    if (chosen == answering)
        return std::nullopt;
    // An error of a provider other than the chosen one says whose it is.
    return QStringLiteral("Used ") + displayName(answering) + QStringLiteral(" instead of ")
           + displayName(chosen) + QStringLiteral(". ")
           + (failed == chosen ? lastError.description() : describedWithName(failed, lastError));
}

QString LLMService::noProviderDetail(const AISettings &settings) const
{
    // A stopped server or a missing model is set up, only not running; a
    // missing key, or a provider this system can't run, is not.
    const LLMProviderStatus::Case chosen = statusText(settings.provider, settings).kind;
    const bool nothingSetUp = chosen == LLMProviderStatus::Case::needsKey
                              || chosen == LLMProviderStatus::Case::unsupported
                              || settings.provider == LLMProviderKind::appleOnDevice;
    return (nothingSetUp ? QStringLiteral("No AI provider is set up yet. ") : QString()) + chosenObstacle(settings);
}

QString LLMService::chosenObstacle(const AISettings &settings) const
{
    const LLMProviderStatus chosen = statusText(settings.provider, settings);
    if (chosen.kind == LLMProviderStatus::Case::needsKey)
        return LLMError::missingAPIKey(settings.provider).description();
    return chosen.text;
}

QString LLMService::noProviderRecovery()
{
    return QStringLiteral("Start a local Ollama server and pull its model, or add an API key in Settings → AI.");
}

LLMProviderStatus LLMService::statusText(LLMProviderKind kind, const AISettings &settings) const
{
    const LLMProviderStatus status = statusFor(kind, AIPayload{}, settings);
    const auto unreachable = unreachable_.find(kind);
    if (status.isReady() && unreachable != unreachable_.end()
        && unreachable->second.apiKey == credentials(kind, settings).apiKey)
        return LLMProviderStatus::unavailable(unreachable->second.reason);
    return status;
}

bool LLMService::rememberReach(LLMProviderKind kind, const std::optional<QString> &apiKey,
                               const LLMError *failure)
{
    if (!isCloud(kind) || (failure && failure->kind() == LLMError::Case::cancelled))
        return false;
    // An HTTP error answer came from the server: it was reached.
    std::optional<Unreachable> now;
    if (failure && (failure->kind() == LLMError::Case::transport || failure->kind() == LLMError::Case::timedOut))
        now = Unreachable{apiKey, failure->description()};
    const auto found = unreachable_.find(kind);
    const std::optional<Unreachable> was =
        found == unreachable_.end() ? std::nullopt : std::optional(found->second);
    if (now)
        unreachable_[kind] = *now;
    else
        unreachable_.erase(kind);
    return was != now;
}

LLMProviderStatus LLMService::statusFor(LLMProviderKind kind, const AIPayload &payload,
                                        const AISettings &settings) const
{
    const LLMProvider *found = provider(kind);
    if (!found)
        return LLMProviderStatus::unavailable(QStringLiteral("Unknown provider."));
    return found->status(credentials(kind, settings), makeRequest(payload, QString(), settings, kind).model);
}

QCoro::Task<void> LLMService::test(LLMProviderKind kind, std::optional<QString> apiKey,
                                   QString model, CancellationToken token)
{
    const LLMProvider *found = provider(kind);
    if (!found)
        throw LLMError::invalidResponse();
    const LLMRequest request{QStringLiteral("Reply with the single word: ok"),
                             QStringLiteral("ping"), model.isEmpty() ? defaultModel(kind) : model,
                             16, 20.0};
    // A named value: g++ 12 destroys a braced temporary argument of a
    // coroutine twice, freeing the key while the provider still holds it.
    LLMCredentials given{std::move(apiKey), std::nullopt};
    // Only a test of the saved key speaks for the provider's row.
    const bool savedKey = given.apiKey == credentials(kind, AISettings{}).apiKey;
    const QPointer<LLMService> self(this);
    try {
        co_await found->complete(request, given, token);
    } catch (const LLMError &error) {
        if (self && savedKey && rememberReach(kind, given.apiKey, &error))
            raiseStatusRevision();
        throw;
    }
    if (self && savedKey && rememberReach(kind, given.apiKey, nullptr))
        raiseStatusRevision();
}

QCoro::Task<void> LLMService::refresh(AISettings settings)
{
    const QPointer<LLMService> self(this);
    co_await reachability_.probe(ollamaBaseURL(settings));
    if (self)
        raiseStatusRevision();
}

void LLMService::raiseStatusRevision()
{
    ++statusRevision_;
    Q_EMIT statusRevisionChanged(statusRevision_);
}

QString LLMService::ollamaBaseURL(const AISettings &settings)
{
    return settings.ollamaBaseURL.isEmpty() ? OllamaReachability::defaultURL() : settings.ollamaBaseURL;
}

} // namespace vima
