#include "ai/AppleOnDeviceProvider.h"

#include "ai/LLMError.h"

namespace vima {

LLMProviderStatus AppleOnDeviceProvider::status(const LLMCredentials &) const
{
    return LLMProviderStatus::unsupported(
        QStringLiteral("Needs macOS 26 or later. Add an API key to use a cloud model instead."));
}

QCoro::Task<QString> AppleOnDeviceProvider::complete(LLMRequest, LLMCredentials,
                                                     CancellationToken) const
{
    throw LLMError::providerUnavailable(kind(), QStringLiteral("Needs macOS 26 or later."));
    co_return QString();
}

} // namespace vima
