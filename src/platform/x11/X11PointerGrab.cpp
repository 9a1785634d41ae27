#include "platform/x11/X11PointerGrab.h"

#include "platform/x11/X11Connection.h"

#include <QCoreApplication>
#include <cstdlib>
#include <memory>
#include <xcb/xcb.h>

namespace vima {

namespace {

constexpr int retryInterval = 10; // ms
constexpr uint16_t buttonMasks = XCB_BUTTON_MASK_1 | XCB_BUTTON_MASK_2 | XCB_BUTTON_MASK_3 | XCB_BUTTON_MASK_4 |
                                 XCB_BUTTON_MASK_5;
constexpr uint16_t grabbedEvents = XCB_EVENT_MASK_BUTTON_PRESS | XCB_EVENT_MASK_BUTTON_RELEASE |
                                   XCB_EVENT_MASK_POINTER_MOTION;
constexpr uint8_t primaryButton = 1;

template<typename T>
using Reply = std::unique_ptr<T, void (*)(void *)>;

} // namespace

X11PointerGrab::X11PointerGrab()
{
    retryTimer_.setInterval(retryInterval);
    QObject::connect(&retryTimer_, &QTimer::timeout, [this] { retry(); });
    QCoreApplication::instance()->installNativeEventFilter(this);
}

X11PointerGrab::~X11PointerGrab() { QCoreApplication::instance()->removeNativeEventFilter(this); }

void X11PointerGrab::grab(quintptr windowId)
{
    window_ = static_cast<quint32>(windowId);
    grabbed_ = false;
    retryTimer_.start();
}

void X11PointerGrab::retry()
{
    xcb_connection_t *c = x11::connection();
    if (!c || !window_) {
        retryTimer_.stop();
        return;
    }
    Reply<xcb_query_pointer_reply_t> pointer(xcb_query_pointer_reply(c, xcb_query_pointer(c, window_), nullptr),
                                             &std::free);
    if (!pointer || (pointer->mask & buttonMasks))
        return;
    // Not viewable until the window manager has mapped it: then try again.
    Reply<xcb_grab_pointer_reply_t> reply(
        xcb_grab_pointer_reply(c,
                               xcb_grab_pointer(c, true, window_, grabbedEvents, XCB_GRAB_MODE_ASYNC,
                                                XCB_GRAB_MODE_ASYNC, XCB_NONE, XCB_NONE, XCB_CURRENT_TIME),
                               nullptr),
        &std::free);
    if (reply && reply->status == XCB_GRAB_STATUS_SUCCESS) {
        grabbed_ = true;
        retryTimer_.stop();
    }
}

void X11PointerGrab::release()
{
    retryTimer_.stop();
    window_ = 0;
    if (grabbed_) {
        if (xcb_connection_t *c = x11::connection()) {
            xcb_ungrab_pointer(c, XCB_CURRENT_TIME);
            xcb_flush(c);
        }
    }
    grabbed_ = false;
}

bool X11PointerGrab::isOutside(quint32 window, int x, int y) const
{
    xcb_connection_t *c = x11::connection();
    Reply<xcb_get_geometry_reply_t> geometry(xcb_get_geometry_reply(c, xcb_get_geometry(c, window), nullptr),
                                             &std::free);
    return geometry && (x < 0 || y < 0 || x >= geometry->width || y >= geometry->height);
}

bool X11PointerGrab::nativeEventFilter(const QByteArray &eventType, void *message, qintptr *)
{
    if (!grabbed_ || eventType != "xcb_generic_event_t")
        return false;
    const auto *event = static_cast<const xcb_generic_event_t *>(message);
    const uint8_t type = event->response_type & 0x7f;
    if (type != XCB_BUTTON_PRESS && type != XCB_BUTTON_RELEASE)
        return false;
    const auto *button = reinterpret_cast<const xcb_button_press_event_t *>(event);
    if (button->event != window_ || !isOutside(window_, button->event_x, button->event_y))
        return false;
    // Beside the ring nothing else takes the click: it dismisses.
    if (type == XCB_BUTTON_PRESS && button->detail == primaryButton && onOutsideClick)
        onOutsideClick();
    return true;
}

} // namespace vima
