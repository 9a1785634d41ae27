#include "settings/ai/ProviderPresentation.h"

#include <QList>

namespace vima {

const ProviderPresentation &ProviderPresentation::of(LLMProviderKind kind)
{
    static const QList<ProviderPresentation> rows = {
        {LLMProviderKind::appleOnDevice, QStringLiteral("Not available on Linux"), {}, {}},
        {LLMProviderKind::anthropic, QStringLiteral("Your API key · strongest quality"), {},
         {QStringLiteral("claude-opus-4-8"), QStringLiteral("claude-sonnet-5"),
          QStringLiteral("claude-haiku-4-5-20251001")}},
        {LLMProviderKind::openai, QStringLiteral("Your API key"), {},
         {QStringLiteral("gpt-4o"), QStringLiteral("gpt-4o-mini"), QStringLiteral("gpt-4.1")}},
        {LLMProviderKind::ollama, QStringLiteral("Free · private · runs your own local model"),
         QStringLiteral("RECOMMENDED"),
         {QStringLiteral("llama3.2"), QStringLiteral("qwen2.5"), QStringLiteral("mistral"),
          QStringLiteral("phi4")}},
    };
    return rows[qsizetype(kind)];
}

} // namespace vima
