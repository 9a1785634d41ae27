#pragma once

#include "ai/LLMError.h"
#include "ai/LLMProvider.h"

#include <QList>
#include <memory>
#include <stdexcept>
#include <variant>

namespace vima {

// A provider whose status and answers a test sets, recording what it was asked.
// For the service's choice and walk, which no HTTP server can exercise (refusals,
// inputs too long, errors of other types).
class FakeProvider final : public LLMProvider {
public:
    struct OtherError {};
    using Result = std::variant<QString, LLMResponse, LLMError, OtherError>;

    struct Script {
        LLMProviderStatus status = LLMProviderStatus::ready();
        Result result = QStringLiteral("answer");
        QList<LLMRequest> requests;
        QList<LLMCredentials> credentials;
    };

    FakeProvider(LLMProviderKind kind, std::shared_ptr<Script> script)
        : kind_(kind), script_(std::move(script))
    {
    }

    LLMProviderKind kind() const override { return kind_; }
    LLMProviderStatus status(const LLMCredentials &, const QString &) const override { return script_->status; }

    QCoro::Task<LLMResponse> complete(LLMRequest request, LLMCredentials credentials,
                                      CancellationToken) const override
    {
        script_->requests.append(request);
        script_->credentials.append(credentials);
        if (const auto *error = std::get_if<LLMError>(&script_->result))
            throw *error;
        if (std::holds_alternative<OtherError>(script_->result))
            throw std::runtime_error("serialisation failed");
        if (const auto *text = std::get_if<QString>(&script_->result))
            co_return LLMResponse{*text};
        co_return std::get<LLMResponse>(script_->result);
    }

private:
    LLMProviderKind kind_;
    std::shared_ptr<Script> script_;
};

} // namespace vima
