#include "ai/LLMService.h"

#include "ai/AppleOnDeviceProvider.h"
#include "ai/OllamaProvider.h"
#include "ai/ProviderDisplayName.h"

#include <QLoggingCategory>
#include <QPointer>

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

} // namespace

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

QList<LLMProviderKind> LLMService::consideredKinds(const AIPayload &payload,
                                                   const AISettings &settings) const
{
    QList<LLMProviderKind> wanted;
    if (payload.needsStrongModel)
        wanted << LLMProviderKind::anthropic << LLMProviderKind::openai;
    wanted << settings.provider;
    if (settings.autoFallback)
        wanted << fallbackOrder();

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
        if (statusText(kind, settings).isReady())
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
    const QUrl base = ollamaBaseURL(settings);
    // A server found stopped is asked again: the user may just have started it.
    if (consideredKinds(payload, settings).contains(LLMProviderKind::ollama)
        && reachability_.lookup(base) != true) {
        co_await reachability_.probe(base, token);
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
        throw LLMError::noUsableProvider(noProviderDetail(settings));

    std::optional<LLMError> lastError;
    for (qsizetype index = 0; index < kinds.size(); ++index) {
        if (token.isCancelled())
            throw LLMError::cancelled();
        const LLMProviderKind kind = kinds.at(index);
        try {
            const QString reply = co_await provider(kind)->complete(
                makeRequest(payload, userText, settings, kind), credentials(kind, settings), token);
            const QString answer = reply.trimmed();
            // An answer of only white space is no answer: handed on, it would
            // replace the user's selection with nothing.
            if (answer.isEmpty())
                throw LLMError::invalidResponse();
            co_return Completion{answer, kind,
                                 index > 0 ? fallbackNote(settings.provider, kind, lastError)
                                           : std::nullopt};
        } catch (const LLMError &error) {
            if (error.kind() == LLMError::Case::cancelled)
                throw;
            lastError = error;
            if (!settings.autoFallback || index == kinds.size() - 1 || !error.allowsFallback())
                throw;
            qCInfo(lcLLM, "%s failed, trying next provider", qUtf8Printable(rawValue(kind)));
        }
    }
    Q_UNREACHABLE();
}

std::optional<QString> LLMService::fallbackNote(LLMProviderKind chosen, LLMProviderKind answering,
                                                const std::optional<LLMError> &lastError)
{
    if (chosen == answering)
        return std::nullopt;
    QString note = QStringLiteral("Used ") + displayName(answering) + QStringLiteral(" instead of ")
                   + displayName(chosen) + QStringLiteral(".");
    if (lastError)
        note += QLatin1Char(' ') + lastError->description();
    return note;
}

QString LLMService::noProviderDetail(const AISettings &settings) const
{
    if (settings.provider == LLMProviderKind::ollama) {
        const LLMProviderStatus ollama = statusText(LLMProviderKind::ollama, settings);
        if (!ollama.isReady())
            return displayName(LLMProviderKind::ollama) + QStringLiteral(" isn't available: ") + ollama.text;
    }
    const LLMProviderStatus onDevice = statusText(LLMProviderKind::appleOnDevice, settings);
    if (onDevice.isReady())
        return QStringLiteral("No provider is ready.");
    if (onDevice.kind == LLMProviderStatus::Case::unsupported)
        return QStringLiteral("On-device AI doesn't run on this system, and no API key is saved.");
    return QStringLiteral("On-device AI is unavailable (") + onDevice.text
           + QStringLiteral(") and no API key is saved.");
}

QString LLMService::noProviderRecovery()
{
    return QStringLiteral("Start a local Ollama server, or add an API key in Settings → AI.");
}

LLMProviderStatus LLMService::statusText(LLMProviderKind kind, const AISettings &settings) const
{
    const LLMProvider *found = provider(kind);
    if (!found)
        return LLMProviderStatus::unavailable(QStringLiteral("Unknown provider."));
    return found->status(credentials(kind, settings));
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
    co_await found->complete(request, std::move(given), token);
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

QUrl LLMService::ollamaBaseURL(const AISettings &settings)
{
    // "localhost:11434" would otherwise read as the scheme "localhost".
    const QString text = settings.ollamaBaseURL.contains(QLatin1String("://"))
                             ? settings.ollamaBaseURL
                             : QStringLiteral("http://") + settings.ollamaBaseURL;
    const QUrl url(text, QUrl::StrictMode);
    if (settings.ollamaBaseURL.isEmpty() || !url.isValid())
        return OllamaReachability::defaultURL();
    return url;
}

} // namespace vima
