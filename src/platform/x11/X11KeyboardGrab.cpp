#include "platform/x11/X11KeyboardGrab.h"

#include "platform/x11/X11Connection.h"

#include <QLoggingCategory>
#include <cstdlib>
#include <utility>
#include <xcb/xcb.h>

Q_LOGGING_CATEGORY(lcKeyboardGrab, "com.vima.Vima.Ring")

namespace vima {

namespace {
constexpr int retryInterval = 10; // ms
constexpr int maxAttempts = 50;
} // namespace

X11KeyboardGrab::X11KeyboardGrab()
{
    retryTimer_.setInterval(retryInterval);
    QObject::connect(&retryTimer_, &QTimer::timeout, [this] { retry(); });
}

bool X11KeyboardGrab::grabOn(quint32 window)
{
    xcb_connection_t *c = x11::connection();
    if (!c)
        return false;
    auto cookie = xcb_grab_keyboard(c, false, window, XCB_CURRENT_TIME, XCB_GRAB_MODE_ASYNC,
                                    XCB_GRAB_MODE_ASYNC);
    xcb_grab_keyboard_reply_t *reply = xcb_grab_keyboard_reply(c, cookie, nullptr);
    const bool ok = reply && reply->status == XCB_GRAB_STATUS_SUCCESS;
    std::free(reply);
    return ok;
}

void X11KeyboardGrab::grab(quintptr windowId)
{
    window_ = static_cast<quint32>(windowId);
    attempts_ = 0;
    // On the hotkey's road: sent without waiting for the answer. The server
    // takes requests in order, so no key slips past from here on; the grab
    // moves to the window once the timer finds it mapped.
    if (xcb_connection_t *c = x11::connection()) {
        xcb_discard_reply(c, xcb_grab_keyboard(c, false, x11::rootWindow(), XCB_CURRENT_TIME,
                                               XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC)
                                 .sequence);
        xcb_flush(c);
        grabbed_ = true;
    }
    retryTimer_.start();
}

void X11KeyboardGrab::hold()
{
    holding_ = grabOn(x11::rootWindow());
    if (!holding_)
        qCWarning(lcKeyboardGrab) << "Could not hold the keyboard for the hotkey";
}

void X11KeyboardGrab::endHold()
{
    if (!std::exchange(holding_, false) || grabbed_)
        return;
    if (xcb_connection_t *c = x11::connection()) {
        xcb_ungrab_keyboard(c, XCB_CURRENT_TIME);
        xcb_flush(c);
    }
}

void X11KeyboardGrab::retry()
{
    // The ring window answers NotViewable until the window manager has mapped it.
    if (window_ && grabOn(window_)) {
        grabbed_ = true;
        retryTimer_.stop();
        return;
    }
    if (++attempts_ >= maxAttempts) {
        retryTimer_.stop();
        qCWarning(lcKeyboardGrab) << "Could not grab the keyboard for the ring window";
    }
}

void X11KeyboardGrab::release()
{
    retryTimer_.stop();
    window_ = 0;
    if (xcb_connection_t *c = x11::connection()) {
        xcb_ungrab_keyboard(c, XCB_CURRENT_TIME);
        xcb_flush(c);
    }
    grabbed_ = false;
}

} // namespace vima
