#include "ai/AppleOnDeviceProvider.h"

#include "ai/LLMError.h"

namespace vima {

QString AppleOnDeviceProvider::reason()
{
    return QStringLiteral("There is no on-device model on Linux. Use a local Ollama server, or add an API key.");
}

LLMProviderStatus AppleOnDeviceProvider::status(const LLMCredentials &, const QString &) const
{
    return LLMProviderStatus::unavailable(reason());
}

QCoro::Task<LLMResponse> AppleOnDeviceProvider::complete(LLMRequest, LLMCredentials,
                                                         CancellationToken) const
{
    throw LLMError::providerUnavailable(kind(), reason());
    co_return LLMResponse();
}

} // namespace vima
