#include "ai/AnthropicProvider.h"

#include "ai/LLMError.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace vima {

QUrl AnthropicProvider::publicEndpoint() { return QUrl(QStringLiteral("https://api.anthropic.com/v1/messages")); }

QString AnthropicProvider::currentAPIVersion() { return QStringLiteral("2023-06-01"); }

AnthropicProvider::AnthropicProvider(std::optional<QUrl> endpoint, QString apiVersion,
                                     Scheduler &scheduler)
    : CloudProvider(std::move(endpoint), scheduler), apiVersion_(std::move(apiVersion))
{
}

void AnthropicProvider::authorize(HttpRequest &http, const QString &apiKey) const
{
    http.headers.append({"x-api-key", apiKey.toUtf8()});
    http.headers.append({"anthropic-version", apiVersion_.toUtf8()});
}

QJsonObject AnthropicProvider::body(const LLMRequest &request) const
{
    const QJsonObject message{{QStringLiteral("role"), QStringLiteral("user")},
                              {QStringLiteral("content"), request.userText}};
    return {{QStringLiteral("model"), request.model},
            {QStringLiteral("max_tokens"), request.maxTokens},
            {QStringLiteral("system"), request.systemPrompt},
            {QStringLiteral("messages"), QJsonArray{message}}};
}

LLMResponse AnthropicProvider::readAnswer(const QByteArray &body)
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
    return {answer, document.object().value(QLatin1String("stop_reason")) == QLatin1String("max_tokens")};
}

} // namespace vima
