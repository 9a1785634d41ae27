#pragma once

#include <QLoggingCategory>
#include <chrono>

// Debug lines that time the road from the hotkey to the ring on screen
// (bench/app/hotkey_latency.sh reads them).
Q_DECLARE_LOGGING_CATEGORY(lcLatency)

namespace vima {

// Microseconds on the monotonic clock, comparable across the agent's lines.
inline long long latencyStamp()
{
    using namespace std::chrono;
    return duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count();
}

} // namespace vima
