#pragma once

#include "ai/CloudProvider.h"

namespace vima {

// The Anthropic Messages API with the user's own key.
class AnthropicProvider final : public CloudProvider {
public:
    static QUrl publicEndpoint();
    static QString currentAPIVersion();

    AnthropicProvider(std::optional<QUrl> endpoint, QString apiVersion,
                      Scheduler &scheduler = Scheduler::system());

    LLMProviderKind kind() const override { return LLMProviderKind::anthropic; }

    // The text blocks of a reply, joined, cut when it stopped at max_tokens;
    // throws invalidResponse when there is none.
    static LLMResponse readAnswer(const QByteArray &body);

private:
    void authorize(HttpRequest &http, const QString &apiKey) const override;
    QJsonObject body(const LLMRequest &request) const override;
    LLMResponse answer(const QByteArray &reply) const override { return readAnswer(reply); }

    QString apiVersion_;
};

} // namespace vima
