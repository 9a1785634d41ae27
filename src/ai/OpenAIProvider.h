#pragma once

#include "ai/CloudProvider.h"

namespace vima {

// The OpenAI chat-completions API with the user's own key.
class OpenAIProvider final : public CloudProvider {
public:
    static QUrl publicEndpoint();

    explicit OpenAIProvider(std::optional<QUrl> endpoint, Scheduler &scheduler = Scheduler::system());

    LLMProviderKind kind() const override { return LLMProviderKind::openai; }

    // The first choice's message text; throws invalidResponse when there is none.
    static QString readAnswer(const QByteArray &body);

private:
    void authorize(HttpRequest &http, const QString &apiKey) const override;
    QJsonObject body(const LLMRequest &request) const override;
    QString answer(const QByteArray &reply) const override { return readAnswer(reply); }
};

} // namespace vima
