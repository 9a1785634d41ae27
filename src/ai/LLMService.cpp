#include "ai/LLMService.h"

#include "ai/AppleOnDeviceProvider.h"
#include "ai/OllamaProvider.h"
#include "ai/ProviderDisplayName.h"

#include <QCoroNetworkReply>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLoggingCategory>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QPointer>
#include <QStringDecoder>
#include <QTextBoundaryFinder>

namespace vima {

namespace {

Q_LOGGING_CATEGORY(lcLLM, "com.vima.Vima.LLM")

constexpr qsizetype longestErrorMessage = 300;

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

// Leaves the first `limit` user-perceived characters, marking a cut with an ellipsis.
QString cutToCharacters(const QString &text, qsizetype limit)
{
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    qsizetype end = 0;
    for (qsizetype count = 0; count < limit && end >= 0; ++count)
        end = finder.toNextBoundary();
    if (end < 0 || end >= text.size())
        return text;
    return text.left(end) + QChar(0x2026);
}

// Deletes the manager from the event loop: its reply may still be emitting
// `finished` when the exchange ends.
struct DeferredDelete {
    void operator()(QObject *object) const { object->deleteLater(); }
};

// Undoes the deadline and the cancellation hook on every way out of an exchange.
class ExchangeGuard {
public:
    ExchangeGuard(Scheduler &scheduler, Scheduler::TimerId timer, CancellationToken token,
                  CancellationToken::Registration registration)
        : scheduler_(scheduler), timer_(timer), token_(std::move(token)), registration_(registration)
    {
    }
    ~ExchangeGuard()
    {
        scheduler_.cancel(timer_);
        token_.removeCallback(registration_);
    }
    ExchangeGuard(const ExchangeGuard &) = delete;
    ExchangeGuard &operator=(const ExchangeGuard &) = delete;

private:
    Scheduler &scheduler_;
    Scheduler::TimerId timer_;
    CancellationToken token_;
    CancellationToken::Registration registration_;
};

} // namespace

LLMService::ProviderTable LLMService::standardProviders()
{
    return standardProviders(Endpoints{}, OllamaReachability::shared(), Scheduler::system());
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
    if (consideredKinds(payload, settings).contains(LLMProviderKind::ollama)
        && !reachability_.lookup(base)) {
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
    const LLMProviderStatus onDevice = statusText(LLMProviderKind::appleOnDevice, settings);
    if (onDevice.isReady())
        return QStringLiteral("No provider is ready.");
    return QStringLiteral("On-device AI is unavailable (") + onDevice.text
           + QStringLiteral(") and no API key is saved.");
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
    co_await found->complete(request, LLMCredentials{std::move(apiKey), std::nullopt}, token);
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

QCoro::Task<QByteArray> LLMService::postJSON(QNetworkRequest request, const QJsonObject &body,
                                             double timeout, CancellationToken token,
                                             Scheduler &scheduler)
{
    request.setHeader(QNetworkRequest::ContentTypeHeader, QByteArrayLiteral("application/json"));
    return send(std::move(request), "POST", QJsonDocument(body).toJson(QJsonDocument::Compact), timeout,
                std::move(token), scheduler);
}

QCoro::Task<QByteArray> LLMService::send(QNetworkRequest request, QByteArray method, QByteArray body,
                                         double timeout, CancellationToken token,
                                         Scheduler &scheduler)
{
    if (token.isCancelled())
        throw LLMError::cancelled();

    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    request.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
    // A redirect to another host would carry the API key along with it.
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::SameOriginRedirectPolicy);
    // A manager per exchange: no connection, cookie or credential outlives it.
    const std::unique_ptr<QNetworkAccessManager, DeferredDelete> manager(new QNetworkAccessManager);
    QNetworkReply *reply = method == "GET" ? manager->get(request)
                                           : manager->sendCustomRequest(request, method, body);

    // Qt reports both of our aborts as a cancelled operation; remember which it was.
    enum class Abort { none, deadline, cancellation };
    Abort abort = Abort::none;
    const auto abortFor = [&abort, reply](Abort reason) {
        if (abort == Abort::none && !reply->isFinished()) {
            abort = reason;
            reply->abort();
        }
    };
    const ExchangeGuard guard(
        scheduler,
        scheduler.schedule(LLMRequest::clampedTimeout(timeout), [&] { abortFor(Abort::deadline); }),
        token, token.onCancel([&] { abortFor(Abort::cancellation); }));

    co_await reply;

    if (abort == Abort::deadline)
        throw LLMError::timedOut();
    if (abort == Abort::cancellation)
        throw LLMError::cancelled();

    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (status.isValid()) {
        const int code = status.toInt();
        if (code < 200 || code > 299)
            throw LLMError::api(code, apiErrorMessage(reply->readAll()));
        if (reply->error() == QNetworkReply::NoError)
            co_return reply->readAll();
    }
    if (reply->error() != QNetworkReply::NoError)
        throw LLMError::transport(reply->errorString());
    throw LLMError::invalidResponse();
}

QString LLMService::apiErrorMessage(const QByteArray &body)
{
    // The provider's own message is cut like any other body text: a failed
    // reply never puts more than 301 characters in front of the user.
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(body, &parseError);
    if (parseError.error == QJsonParseError::NoError && document.isObject()) {
        const QJsonValue error = document.object().value(QLatin1String("error"));
        const QJsonValue message = error.toObject().value(QLatin1String("message"));
        if (message.isString())
            return cutToCharacters(message.toString(), longestErrorMessage);
        if (error.isString())
            return cutToCharacters(error.toString(), longestErrorMessage);
    }
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder.decode(body);
    if (decoder.hasError())
        return {};
    return cutToCharacters(text, longestErrorMessage);
}

QUrl LLMService::ollamaBaseURL(const AISettings &settings)
{
    const QUrl url(settings.ollamaBaseURL, QUrl::StrictMode);
    if (settings.ollamaBaseURL.isEmpty() || !url.isValid())
        return OllamaReachability::defaultURL();
    return url;
}

} // namespace vima
