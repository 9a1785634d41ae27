#pragma once

#include <QString>
#include <optional>

namespace vima {

// What a provider is asked with: a cloud provider's key, or the Ollama server's address.
struct LLMCredentials {
    std::optional<QString> apiKey;
    // As written: libcurl reads it when it is asked, and only libcurl.
    std::optional<QString> baseURL;

    static LLMCredentials none() { return {}; }

    // A key of only spaces still counts: the provider, not us, judges it.
    bool hasAPIKey() const { return apiKey && !apiKey->isEmpty(); }

    bool operator==(const LLMCredentials &) const = default;
};

} // namespace vima
