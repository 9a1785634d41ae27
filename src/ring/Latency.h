#pragma once

#include <QLoggingCategory>

// Debug lines that time the road from the hotkey to the ring on screen
// (bench/app/hotkey_latency.sh reads them).
Q_DECLARE_LOGGING_CATEGORY(lcLatency)
