#include "ai/LLMRequest.h"

#include <QJsonObject>
#include <algorithm>
#include <cmath>

namespace vima {

namespace {
constexpr double defaultTimeout = 45.0;
constexpr double shortestTimeout = 0.1;
constexpr double longestTimeout = 3600.0;
} // namespace

double LLMRequest::clampedTimeout(double seconds)
{
    if (std::isnan(seconds))
        return defaultTimeout;
    return std::clamp(seconds, shortestTimeout, longestTimeout);
}

QJsonArray LLMRequest::chatMessages() const
{
    return {QJsonObject{{QStringLiteral("role"), QStringLiteral("system")},
                        {QStringLiteral("content"), systemPrompt}},
            QJsonObject{{QStringLiteral("role"), QStringLiteral("user")},
                        {QStringLiteral("content"), userText}}};
}

} // namespace vima
