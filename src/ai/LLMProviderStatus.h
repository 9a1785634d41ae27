#pragma once

#include <QString>

namespace vima {

// Whether a provider can take a request now. Only `ready` makes it a candidate;
// the texts of `unsupported` and `unavailable` are shown to the user as they are.
struct LLMProviderStatus {
    enum class Case { unsupported, unavailable, ready, needsKey };

    Case kind = Case::ready;
    QString text;

    static LLMProviderStatus unsupported(QString text) { return {Case::unsupported, std::move(text)}; }
    static LLMProviderStatus unavailable(QString text) { return {Case::unavailable, std::move(text)}; }
    static LLMProviderStatus ready() { return {Case::ready, {}}; }
    static LLMProviderStatus needsKey() { return {Case::needsKey, {}}; }

    bool isReady() const { return kind == Case::ready; }

    bool operator==(const LLMProviderStatus &) const = default;
};

} // namespace vima
