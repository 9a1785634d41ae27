#include "platform/x11/X11ApplicationActivator.h"

#include "platform/x11/WindowNames.h"
#include "platform/x11/X11Windows.h"

namespace vima {

bool X11ApplicationActivator::isActive(const RunningApplication &app) const
{
    if (app.window != XCB_NONE)
        return x11::activeWindow() == app.window;
    return app.pid > 0 && x11::windowProcess(x11::activeWindow()) == app.pid;
}

std::optional<RunningApplication> X11ApplicationActivator::openWindow(const AppIdentity &app) const
{
    const xcb_window_t window = WindowNames::newestWindowOf(app, catalog_);
    if (window == XCB_NONE)
        return std::nullopt;
    const WindowNames names = WindowNames::of(window);
    return RunningApplication{x11::windowProcess(window), QString(), QString(), window,
                              {names.instance, names.className}};
}

bool X11ApplicationActivator::activate(const RunningApplication &app)
{
    const QList<xcb_window_t> windows = x11::clientWindows();
    if (app.window != XCB_NONE) {
        // Another window of the same program is not where the user was.
        if (!windows.contains(app.window))
            return false;
        x11::activateWindow(app.window);
        return true;
    }
    // The most recently mapped window of the process is the likeliest one in use.
    for (auto it = windows.crbegin(); it != windows.crend(); ++it) {
        if (x11::windowProcess(*it) == app.pid) {
            x11::activateWindow(*it);
            return true;
        }
    }
    return false;
}

} // namespace vima
