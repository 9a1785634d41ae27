#pragma once

#include <QList>
#include <xcb/xcb.h>

namespace vima::x11 {

// All of these answer nothing without an X11 display.

// The window manager's active window; none without one.
xcb_window_t activeWindow();
// The managed top-level windows, oldest first.
QList<xcb_window_t> clientWindows();
// The process that owns a window (_NET_WM_PID, else the server's record of
// its client); 0 when unknown.
qint64 windowProcess(xcb_window_t window);
// Asks the window manager to raise and focus a window.
void activateWindow(xcb_window_t window);

} // namespace vima::x11
