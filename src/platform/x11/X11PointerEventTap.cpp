#include "platform/x11/X11PointerEventTap.h"

#include "platform/x11/X11Connection.h"

#include <QCoreApplication>
#include <QLoggingCategory>
#include <cstdlib>
#include <memory>
#include <xcb/xtest.h>

namespace vima {

namespace {

Q_LOGGING_CATEGORY(lcPointerTrigger, "com.vima.Vima.PointerTrigger")

constexpr uint8_t rightButton = 3;
constexpr uint16_t grabbedEvents =
    XCB_EVENT_MASK_BUTTON_PRESS | XCB_EVENT_MASK_BUTTON_RELEASE | XCB_EVENT_MASK_POINTER_MOTION;

} // namespace

X11PointerEventTap::X11PointerEventTap() : connection_(x11::connection()), root_(x11::rootWindow()) {}

X11PointerEventTap::~X11PointerEventTap() { remove(); }

bool X11PointerEventTap::install(Callback callback)
{
    if (!connection_ || !grabButton())
        return false;
    callback_ = std::move(callback);
    QCoreApplication::instance()->installNativeEventFilter(this);
    return true;
}

void X11PointerEventTap::remove()
{
    if (!callback_)
        return;
    QCoreApplication::instance()->removeNativeEventFilter(this);
    callback_ = nullptr;
    ungrabButton();
    if (pressed_) {
        // Give the pointer back rather than keep it until the button goes up.
        xcb_ungrab_pointer(connection_, XCB_CURRENT_TIME);
        xcb_flush(connection_);
        pressed_ = false;
    }
}

bool X11PointerEventTap::grabButton() const
{
    const auto cookie = xcb_grab_button_checked(connection_, 0, root_, grabbedEvents, XCB_GRAB_MODE_ASYNC,
                                                XCB_GRAB_MODE_ASYNC, XCB_NONE, XCB_NONE, rightButton,
                                                XCB_MOD_MASK_ANY);
    xcb_generic_error_t *error = xcb_request_check(connection_, cookie);
    if (error && error->error_code == XCB_ACCESS)
        qCWarning(lcPointerTrigger, "XGrabButton refused the right button: another program holds it");
    else if (error)
        qCWarning(lcPointerTrigger, "XGrabButton refused the right button (X error %d)", error->error_code);
    std::free(error);
    return error == nullptr;
}

void X11PointerEventTap::ungrabButton() const
{
    xcb_ungrab_button(connection_, rightButton, root_, XCB_MOD_MASK_ANY);
    xcb_flush(connection_);
}

std::optional<QPointF> X11PointerEventTap::pointerLocation() const
{
    if (!connection_)
        return std::nullopt;
    std::unique_ptr<xcb_query_pointer_reply_t, void (*)(void *)> reply(
        xcb_query_pointer_reply(connection_, xcb_query_pointer(connection_, root_), nullptr), &std::free);
    if (!reply)
        return std::nullopt;
    return x11::toLogical({reply->root_x, reply->root_y});
}

bool X11PointerEventTap::nativeEventFilter(const QByteArray &eventType, void *message, qintptr *)
{
    if (eventType != "xcb_generic_event_t" || !callback_)
        return false;
    const auto *event = static_cast<const xcb_generic_event_t *>(message);
    const uint8_t type = event->response_type & 0x7f;
    if (type != XCB_BUTTON_PRESS && type != XCB_BUTTON_RELEASE && type != XCB_MOTION_NOTIFY)
        return false;
    // Press, release and motion share one layout.
    const auto *pointer = reinterpret_cast<const xcb_button_press_event_t *>(event);
    if (pointer->event != root_)
        return false;
    const QPoint at(pointer->root_x, pointer->root_y);
    const bool right = pointer->detail == rightButton;
    if (type == XCB_BUTTON_PRESS && right) {
        pressed_ = true;
        origin_ = at;
        callback_(EventType::rightMouseDown, x11::toLogical(at));
    } else if (type == XCB_MOTION_NOTIFY && pressed_) {
        callback_(EventType::rightMouseDragged, x11::toLogical(at));
    } else if (type == XCB_BUTTON_RELEASE && right && pressed_) {
        pressed_ = false;
        if (!callback_(EventType::rightMouseUp, x11::toLogical(at)))
            replay(at);
    } else {
        // Other buttons pressed during the hold come to us too; they are lost either way.
        return pressed_;
    }
    return true;
}

void X11PointerEventTap::replay(QPoint release)
{
    // Out of the way, or the replayed press would come straight back to us.
    ungrabButton();
    fakePointer(XCB_MOTION_NOTIFY, 0, origin_);
    fakePointer(XCB_BUTTON_PRESS, rightButton);
    if (release != origin_)
        fakePointer(XCB_MOTION_NOTIFY, 0, release);
    fakePointer(XCB_BUTTON_RELEASE, rightButton);
    // The round trip makes sure the server has delivered the click first.
    std::free(xcb_get_input_focus_reply(connection_, xcb_get_input_focus(connection_), nullptr));
    if (callback_ && !grabButton())
        qCWarning(lcPointerTrigger, "Could not grab the right button again after a click");
}

void X11PointerEventTap::fakePointer(uint8_t type, uint8_t detail, QPoint at) const
{
    xcb_test_fake_input(connection_, type, detail, XCB_CURRENT_TIME, type == XCB_MOTION_NOTIFY ? root_ : XCB_NONE,
                        static_cast<int16_t>(at.x()), static_cast<int16_t>(at.y()), XCB_NONE);
}

} // namespace vima
