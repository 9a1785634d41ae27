#pragma once

#include "platform/RunningApplication.h"

#include <optional>
#include <xcb/xcb.h>

namespace vima::x11 {

// What the server's X-Resource extension tells about the client (the
// connection) that created a window. Each call asks over `connection`;
// nothing without the extension or for an unknown window.

// The client's base resource id: equal for every window of one connection.
std::optional<uint32_t> clientOf(xcb_connection_t *connection, xcb_window_t window);
// The client's process as the server sees it (host pid, also for sandboxed clients).
std::optional<qint64> clientProcess(xcb_connection_t *connection, xcb_window_t window);

// Whether `owner` (a selection owner's window) belongs to the application: the
// same client as the application's window. Sandboxed windows name a process
// in their own namespace, so pids decide only where X-Resource cannot.
// Nothing when neither can tell.
std::optional<bool> ownedBy(xcb_connection_t *connection, xcb_window_t owner, const RunningApplication &app);

} // namespace vima::x11
