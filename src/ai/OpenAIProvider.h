#pragma once

#include "ai/CloudProvider.h"

namespace vima {

// The OpenAI chat-completions API with the user's own key.
class OpenAIProvider final : public CloudProvider {
public:
    static QUrl publicEndpoint();

    explicit OpenAIProvider(std::optional<QUrl> endpoint, Scheduler &scheduler = Scheduler::system());

    LLMProviderKind kind() const override { return LLMProviderKind::openai; }

    // The first choice's message text, cut when the choice finished for its
    // length; throws invalidResponse when there is none.
    static LLMResponse readAnswer(const QByteArray &body);

private:
    void authorize(HttpRequest &http, const QString &apiKey) const override;
    QJsonObject body(const LLMRequest &request) const override;
    LLMResponse answer(const QByteArray &reply) const override { return readAnswer(reply); }
};

} // namespace vima
