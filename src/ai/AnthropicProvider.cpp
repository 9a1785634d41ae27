#include "ai/AnthropicProvider.h"

#include "ai/LLMError.h"
#include "ai/LLMService.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkRequest>

namespace vima {

QUrl AnthropicProvider::publicEndpoint() { return QUrl(QStringLiteral("https://api.anthropic.com/v1/messages")); }

QString AnthropicProvider::currentAPIVersion() { return QStringLiteral("2023-06-01"); }

AnthropicProvider::AnthropicProvider(std::optional<QUrl> endpoint, QString apiVersion,
                                     Scheduler &scheduler)
    : endpoint_(std::move(endpoint)), apiVersion_(std::move(apiVersion)), scheduler_(scheduler)
{
}

LLMProviderStatus AnthropicProvider::status(const LLMCredentials &credentials) const
{
    return credentials.hasAPIKey() ? LLMProviderStatus::ready() : LLMProviderStatus::needsKey();
}

QCoro::Task<QString> AnthropicProvider::complete(LLMRequest request, LLMCredentials credentials,
                                                 CancellationToken token) const
{
    if (!endpoint_)
        throw LLMError::invalidResponse();
    if (!credentials.hasAPIKey())
        throw LLMError::missingAPIKey(kind());

    QNetworkRequest http(*endpoint_);
    http.setHeader(QNetworkRequest::ContentTypeHeader, QByteArrayLiteral("application/json"));
    http.setRawHeader("x-api-key", credentials.apiKey->toUtf8());
    http.setRawHeader("anthropic-version", apiVersion_.toUtf8());

    const QJsonObject message{{QStringLiteral("role"), QStringLiteral("user")},
                              {QStringLiteral("content"), request.userText}};
    const QJsonObject body{{QStringLiteral("model"), request.model},
                           {QStringLiteral("max_tokens"), request.maxTokens},
                           {QStringLiteral("system"), request.systemPrompt},
                           {QStringLiteral("messages"), QJsonArray{message}}};

    const QByteArray reply = co_await LLMService::send(
        http, "POST", QJsonDocument(body).toJson(QJsonDocument::Compact), request.timeout, token,
        scheduler_);
    co_return readAnswer(reply);
}

QString AnthropicProvider::readAnswer(const QByteArray &body)
{
    const QJsonDocument document = QJsonDocument::fromJson(body);
    const QJsonValue content = document.object().value(QLatin1String("content"));
    if (!document.isObject() || !content.isArray())
        throw LLMError::invalidResponse();

    QString answer;
    for (const QJsonValue &block : content.toArray()) {
        if (!block.isObject())
            throw LLMError::invalidResponse();
        const QJsonObject object = block.toObject();
        const QJsonValue text = object.value(QLatin1String("text"));
        if (object.value(QLatin1String("type")) == QLatin1String("text") && text.isString())
            answer += text.toString();
    }
    if (answer.isEmpty())
        throw LLMError::invalidResponse();
    return answer;
}

} // namespace vima
