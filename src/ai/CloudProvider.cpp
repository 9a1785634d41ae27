#include "ai/CloudProvider.h"

#include "ai/LLMError.h"
#include "ai/HttpExchange.h"

namespace vima {

CloudProvider::CloudProvider(std::optional<QUrl> endpoint, Scheduler &scheduler)
    : endpoint_(std::move(endpoint)), scheduler_(scheduler)
{
}

LLMProviderStatus CloudProvider::status(const LLMCredentials &credentials, const QString &) const
{
    return credentials.hasAPIKey() ? LLMProviderStatus::ready() : LLMProviderStatus::needsKey();
}

QCoro::Task<LLMResponse> CloudProvider::complete(LLMRequest request, LLMCredentials credentials,
                                                 CancellationToken token) const
{
    if (!endpoint_)
        throw LLMError::invalidResponse();
    if (!credentials.hasAPIKey())
        throw LLMError::missingAPIKey(kind());
    // A line break would end the header early and start another one.
    if (credentials.apiKey->contains(QLatin1Char('\n')) || credentials.apiKey->contains(QLatin1Char('\r')))
        throw LLMError::transport(QStringLiteral("the API key contains a line break, so it was not sent."));

    HttpRequest http{endpoint_->toEncoded(), {}};
    authorize(http, *credentials.apiKey);
    const QByteArray reply = co_await HttpExchange::postJSON(http, body(request), request.timeout, token,
                                                           scheduler_);
    co_return answer(reply);
}

} // namespace vima
