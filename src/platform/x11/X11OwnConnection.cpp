#include "platform/x11/X11OwnConnection.h"

#include <cstring>

namespace vima {

X11OwnConnection::X11OwnConnection()
{
    int screenNumber = 0;
    connection_ = xcb_connect(nullptr, &screenNumber);
    if (xcb_connection_has_error(connection_))
        return;
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(connection_));
    for (int i = 0; i < screenNumber && screens.rem; ++i)
        xcb_screen_next(&screens);
    window_ = xcb_generate_id(connection_);
    const uint32_t events = XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_create_window(connection_, XCB_COPY_FROM_PARENT, window_, screens.data->root, 0, 0, 1, 1, 0,
                      XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, XCB_CW_EVENT_MASK, &events);
}

X11OwnConnection::~X11OwnConnection()
{
    xcb_disconnect(connection_);
}

xcb_atom_t X11OwnConnection::atom(const char *name) const
{
    const auto reply = ownedReply(xcb_intern_atom_reply(
        connection_, xcb_intern_atom(connection_, 0, static_cast<uint16_t>(std::strlen(name)), name), nullptr));
    return reply ? reply->atom : XCB_NONE;
}

xcb_window_t X11OwnConnection::selectionOwner(xcb_atom_t selection) const
{
    const auto reply = ownedReply(
        xcb_get_selection_owner_reply(connection_, xcb_get_selection_owner(connection_, selection), nullptr));
    return reply ? reply->owner : XCB_NONE;
}

xcb_timestamp_t X11OwnConnection::serverTime()
{
    // Any change of a property of ours comes back stamped with the server's time.
    const xcb_atom_t stamp = atom("VIMA_TIMESTAMP");
    xcb_change_property(connection_, XCB_PROP_MODE_APPEND, window_, stamp, XCB_ATOM_INTEGER, 32, 0, nullptr);
    xcb_flush(connection_);
    while (const auto event = ownedReply(xcb_wait_for_event(connection_))) {
        const auto *notify = reinterpret_cast<const xcb_property_notify_event_t *>(event.get());
        if ((event->response_type & 0x7f) == XCB_PROPERTY_NOTIFY && notify->atom == stamp)
            return notify->time;
    }
    return XCB_CURRENT_TIME;
}

} // namespace vima
