#pragma once

#include "ai/LLMProvider.h"

namespace vima {

// The system's on-device language model. This system has none, so the
// provider answers as a system too old for it: never ready, never a candidate.
// Its kind stays because it is the default and configuration files name it.
class AppleOnDeviceProvider final : public LLMProvider {
public:
    LLMProviderKind kind() const override { return LLMProviderKind::appleOnDevice; }
    LLMProviderStatus status(const LLMCredentials &credentials) const override;
    QCoro::Task<QString> complete(LLMRequest request, LLMCredentials credentials,
                                  CancellationToken token) const override;
};

} // namespace vima
