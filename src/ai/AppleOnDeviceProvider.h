#pragma once

#include "ai/LLMProvider.h"

namespace vima {

// The system's on-device language model. This system has none: the provider
// is never ready and never a candidate. Its kind stays because configuration
// files written elsewhere name it.
class AppleOnDeviceProvider final : public LLMProvider {
public:
    // Why it can't run here, and what can.
    static QString reason();

    LLMProviderKind kind() const override { return LLMProviderKind::appleOnDevice; }
    LLMProviderStatus status(const LLMCredentials &credentials, const QString &model) const override;
    QCoro::Task<LLMResponse> complete(LLMRequest request, LLMCredentials credentials,
                                      CancellationToken token) const override;
};

} // namespace vima
