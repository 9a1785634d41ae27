#include "ai/ProviderDisplayName.h"

namespace vima {

QString displayName(LLMProviderKind kind)
{
    switch (kind) {
    case LLMProviderKind::appleOnDevice:
        return QStringLiteral("Apple On-Device");
    case LLMProviderKind::anthropic:
        return QStringLiteral("Anthropic");
    case LLMProviderKind::openai:
        return QStringLiteral("OpenAI");
    case LLMProviderKind::ollama:
        return QStringLiteral("Ollama (local)");
    }
    Q_UNREACHABLE();
    return QString();
}

} // namespace vima
