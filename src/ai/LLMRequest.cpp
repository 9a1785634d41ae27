#include "ai/LLMRequest.h"

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

} // namespace vima
