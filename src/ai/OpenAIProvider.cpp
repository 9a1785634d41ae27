#include "ai/OpenAIProvider.h"

#include "ai/LLMError.h"
#include "ai/LLMService.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkRequest>
#include <algorithm>

namespace vima {

QUrl OpenAIProvider::publicEndpoint() { return QUrl(QStringLiteral("https://api.openai.com/v1/chat/completions")); }

OpenAIProvider::OpenAIProvider(std::optional<QUrl> endpoint, Scheduler &scheduler)
    : endpoint_(std::move(endpoint)), scheduler_(scheduler)
{
}

LLMProviderStatus OpenAIProvider::status(const LLMCredentials &credentials) const
{
    return credentials.hasAPIKey() ? LLMProviderStatus::ready() : LLMProviderStatus::needsKey();
}

QCoro::Task<QString> OpenAIProvider::complete(LLMRequest request, LLMCredentials credentials,
                                              CancellationToken token) const
{
    if (!endpoint_)
        throw LLMError::invalidResponse();
    if (!credentials.hasAPIKey())
        throw LLMError::missingAPIKey(kind());

    QNetworkRequest http(*endpoint_);
    http.setHeader(QNetworkRequest::ContentTypeHeader, QByteArrayLiteral("application/json"));
    http.setRawHeader("Authorization", "Bearer " + credentials.apiKey->toUtf8());

    const QJsonArray messages{
        QJsonObject{{QStringLiteral("role"), QStringLiteral("system")},
                    {QStringLiteral("content"), request.systemPrompt}},
        QJsonObject{{QStringLiteral("role"), QStringLiteral("user")},
                    {QStringLiteral("content"), request.userText}}};
    const QJsonObject body{{QStringLiteral("model"), request.model},
                           {QStringLiteral("max_completion_tokens"), request.maxTokens},
                           {QStringLiteral("messages"), messages}};

    const QByteArray reply = co_await LLMService::send(
        http, "POST", QJsonDocument(body).toJson(QJsonDocument::Compact), request.timeout, token,
        scheduler_);
    co_return readAnswer(reply);
}

QString OpenAIProvider::readAnswer(const QByteArray &body)
{
    const QJsonDocument document = QJsonDocument::fromJson(body);
    const QJsonArray choices = document.object().value(QLatin1String("choices")).toArray();
    const bool allObjects = std::all_of(choices.begin(), choices.end(),
                                        [](const QJsonValue &choice) { return choice.isObject(); });
    if (!document.isObject() || choices.isEmpty() || !allObjects)
        throw LLMError::invalidResponse();
    const QJsonValue message = choices.first().toObject().value(QLatin1String("message"));
    const QJsonValue content = message.toObject().value(QLatin1String("content"));
    if (!message.isObject() || !content.isString() || content.toString().isEmpty())
        throw LLMError::invalidResponse();
    return content.toString();
}

} // namespace vima
