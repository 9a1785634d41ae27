#pragma once

#include "ai/LLMProvider.h"
#include "async/Scheduler.h"

#include <QUrl>
#include <optional>

namespace vima {

// The OpenAI chat-completions API with the user's own key.
class OpenAIProvider final : public LLMProvider {
public:
    static QUrl publicEndpoint();

    explicit OpenAIProvider(std::optional<QUrl> endpoint, Scheduler &scheduler = Scheduler::system());

    LLMProviderKind kind() const override { return LLMProviderKind::openai; }
    LLMProviderStatus status(const LLMCredentials &credentials) const override;
    QCoro::Task<QString> complete(LLMRequest request, LLMCredentials credentials,
                                  CancellationToken token) const override;

    // The first choice's message text; throws invalidResponse when there is none.
    static QString readAnswer(const QByteArray &body);

private:
    std::optional<QUrl> endpoint_;
    Scheduler &scheduler_;
};

} // namespace vima
