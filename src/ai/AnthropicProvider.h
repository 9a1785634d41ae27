#pragma once

#include "ai/LLMProvider.h"
#include "async/Scheduler.h"

#include <QUrl>
#include <optional>

namespace vima {

// The Anthropic Messages API with the user's own key.
class AnthropicProvider final : public LLMProvider {
public:
    static QUrl publicEndpoint();
    static QString currentAPIVersion();

    AnthropicProvider(std::optional<QUrl> endpoint, QString apiVersion,
                      Scheduler &scheduler = Scheduler::system());

    LLMProviderKind kind() const override { return LLMProviderKind::anthropic; }
    LLMProviderStatus status(const LLMCredentials &credentials) const override;
    QCoro::Task<QString> complete(LLMRequest request, LLMCredentials credentials,
                                  CancellationToken token) const override;

    // The text blocks of a reply, joined; throws invalidResponse when there is none.
    static QString readAnswer(const QByteArray &body);

private:
    std::optional<QUrl> endpoint_;
    QString apiVersion_;
    Scheduler &scheduler_;
};

} // namespace vima
