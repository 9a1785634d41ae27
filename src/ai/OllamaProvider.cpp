#include "ai/OllamaProvider.h"

#include "ai/LLMError.h"
#include "ai/HttpExchange.h"
#include "ai/ShownAddress.h"

#include <QJsonDocument>
#include <QJsonObject>

namespace vima {

OllamaProvider::OllamaProvider(OllamaReachability &reachability, Scheduler &scheduler)
    : reachability_(reachability), scheduler_(scheduler)
{
}

QUrl OllamaProvider::base(const LLMCredentials &credentials)
{
    return credentials.baseURL.value_or(OllamaReachability::defaultURL());
}

QString OllamaProvider::notPulled(const QString &model)
{
    return QStringLiteral("Ollama is running, but the model “") + model + QStringLiteral("” isn't pulled yet.");
}

QString OllamaProvider::notHttp(const QUrl &base)
{
    return QStringLiteral("Ollama's address must start with http:// or https://, not “") + shownAddress(base)
           + QStringLiteral("”.");
}

QString OllamaProvider::certificateRefused(const QUrl &base, const QString &problem)
{
    return QStringLiteral("The certificate of ") + shownAddress(base) + QStringLiteral(" was refused: ") + problem;
}

QString OllamaProvider::pullCommand(const QString &model)
{
    return QStringLiteral("ollama pull ") + model;
}

QString OllamaProvider::pullStep(const QString &model)
{
    return QStringLiteral("Get the model: ") + pullCommand(model);
}

LLMProviderStatus OllamaProvider::status(const LLMCredentials &credentials, const QString &model) const
{
    const QUrl url = base(credentials);
    switch (reachability_.readiness(url, model)) {
    case OllamaReachability::Readiness::notHttp:
        return LLMProviderStatus::unavailable(notHttp(url));
    case OllamaReachability::Readiness::unknown:
        return LLMProviderStatus::unavailable(
            QStringLiteral("Not detected yet — open Settings → AI to check."));
    case OllamaReachability::Readiness::noServer:
        return LLMProviderStatus::unavailable(QStringLiteral("No server at ") + shownAddress(url)
                                              + QStringLiteral(". Start Ollama and try again."));
    case OllamaReachability::Readiness::certificateRefused:
        return LLMProviderStatus::unavailable(certificateRefused(url, reachability_.certificateProblem(url)));
    case OllamaReachability::Readiness::notPulled:
        return LLMProviderStatus::unavailable(notPulled(model) + QLatin1Char(' ') + pullStep(model));
    case OllamaReachability::Readiness::ready:
        break;
    }
    return LLMProviderStatus::ready();
}

QCoro::Task<LLMResponse> OllamaProvider::complete(LLMRequest request, LLMCredentials credentials,
                                                  CancellationToken token) const
{
    const QUrl url = base(credentials);
    if (!OllamaReachability::speaksHttp(url))
        throw LLMError::providerUnavailable(kind(), notHttp(url));
    const HttpRequest http{OllamaReachability::appending(url, QStringLiteral("api/chat")), {}};
    const QJsonObject body{
        {QStringLiteral("model"), request.model},
        {QStringLiteral("stream"), false},
        {QStringLiteral("messages"), request.chatMessages()},
        {QStringLiteral("options"), QJsonObject{{QStringLiteral("num_predict"), request.maxTokens}}}};

    QByteArray reply;
    try {
        reply = co_await HttpExchange::postJSON(http, body, request.timeout, token, scheduler_);
    } catch (const LLMError &error) {
        if (error.kind() == LLMError::Case::api && error.status() == 404) {
            reachability_.recordMissing(url, request.model);
            throw LLMError::providerUnavailable(
                kind(), QStringLiteral("The model “") + request.model
                            + QStringLiteral("” isn't pulled yet. Run: ") + pullCommand(request.model)
                            + QStringLiteral(". (") + error.text() + QStringLiteral(")"));
        }
        if (error.kind() == LLMError::Case::transport) {
            reachability_.recordUnreachable(url, error);
            if (OllamaReachability::refusedCertificate(error))
                throw LLMError::providerUnavailable(kind(), certificateRefused(url, error.text()));
            throw LLMError::providerUnavailable(
                kind(), QStringLiteral("Couldn't reach ") + shownAddress(url)
                            + QStringLiteral(". Is Ollama running? (") + error.text()
                            + QStringLiteral(")"));
        }
        throw;
    }
    co_return readAnswer(reply);
}

LLMResponse OllamaProvider::readAnswer(const QByteArray &body)
{
    const QJsonDocument document = QJsonDocument::fromJson(body);
    const QJsonValue message = document.object().value(QLatin1String("message"));
    const QJsonValue content = message.toObject().value(QLatin1String("content"));
    if (!document.isObject() || !message.isObject() || !content.isString()
        || content.toString().isEmpty())
        throw LLMError::invalidResponse();
    return {content.toString(), document.object().value(QLatin1String("done_reason")) == QLatin1String("length")};
}

} // namespace vima
