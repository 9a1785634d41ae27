#pragma once

#include "ai/LLMCredentials.h"
#include "ai/LLMProviderStatus.h"
#include "ai/LLMRequest.h"
#include "ai/LLMResponse.h"
#include "async/CancellationToken.h"
#include "model/Settings.h"

#include <QCoroTask>

namespace vima {

// One AI backend. `status` does no input or output: the settings call it while
// drawing; `model` is the one a request would ask for. `complete` throws
// LLMError (or passes other errors on unchanged).
class LLMProvider {
public:
    virtual ~LLMProvider() = default;

    virtual LLMProviderKind kind() const = 0;
    virtual LLMProviderStatus status(const LLMCredentials &credentials, const QString &model) const = 0;
    virtual QCoro::Task<LLMResponse> complete(LLMRequest request, LLMCredentials credentials,
                                              CancellationToken token) const = 0;
};

} // namespace vima
