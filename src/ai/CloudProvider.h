#pragma once

#include "ai/HttpRequest.h"
#include "ai/LLMProvider.h"
#include "async/Scheduler.h"

#include <QJsonObject>
#include <QUrl>
#include <optional>

namespace vima {

// A provider reached with the user's own key at a fixed endpoint, one JSON
// POST per request; each provider adds its key headers, body and reading of
// the answer.
class CloudProvider : public LLMProvider {
public:
    LLMProviderStatus status(const LLMCredentials &credentials, const QString &model) const final;
    QCoro::Task<LLMResponse> complete(LLMRequest request, LLMCredentials credentials,
                                      CancellationToken token) const final;

protected:
    CloudProvider(std::optional<QUrl> endpoint, Scheduler &scheduler);

private:
    virtual void authorize(HttpRequest &http, const QString &apiKey) const = 0;
    virtual QJsonObject body(const LLMRequest &request) const = 0;
    virtual LLMResponse answer(const QByteArray &reply) const = 0;

    std::optional<QUrl> endpoint_;
    Scheduler &scheduler_;
};

} // namespace vima
