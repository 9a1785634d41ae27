#include "ai/OpenAIProvider.h"

#include "ai/LLMError.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>

namespace vima {

QUrl OpenAIProvider::publicEndpoint() { return QUrl(QStringLiteral("https://api.openai.com/v1/chat/completions")); }

OpenAIProvider::OpenAIProvider(std::optional<QUrl> endpoint, Scheduler &scheduler)
    : CloudProvider(std::move(endpoint), scheduler)
{
}

void OpenAIProvider::authorize(HttpRequest &http, const QString &apiKey) const
{
    http.headers.append({"Authorization", "Bearer " + apiKey.toUtf8()});
}

QJsonObject OpenAIProvider::body(const LLMRequest &request) const
{
    return {{QStringLiteral("model"), request.model},
            {QStringLiteral("max_completion_tokens"), request.maxTokens},
            {QStringLiteral("messages"), request.chatMessages()}};
}

LLMResponse OpenAIProvider::readAnswer(const QByteArray &body)
{
    const QJsonDocument document = QJsonDocument::fromJson(body);
    const QJsonArray choices = document.object().value(QLatin1String("choices")).toArray();
    const bool allObjects = std::all_of(choices.begin(), choices.end(),
                                        [](const QJsonValue &choice) { return choice.isObject(); });
    if (!document.isObject() || choices.isEmpty() || !allObjects)
        throw LLMError::invalidResponse();
    const QJsonObject choice = choices.first().toObject();
    const QJsonValue message = choice.value(QLatin1String("message"));
    const QJsonValue content = message.toObject().value(QLatin1String("content"));
    if (!message.isObject() || !content.isString() || content.toString().isEmpty())
        throw LLMError::invalidResponse();
    return {content.toString(), choice.value(QLatin1String("finish_reason")) == QLatin1String("length")};
}

} // namespace vima
