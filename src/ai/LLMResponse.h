#pragma once

#include <QString>

namespace vima {

// What a provider answered.
struct LLMResponse {
    QString text;
    // The provider stopped at the request's token limit: the text may end
    // mid-sentence.
    bool truncated = false;

    bool operator==(const LLMResponse &) const = default;
};

} // namespace vima
