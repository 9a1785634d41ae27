#include "platform/x11/X11Windows.h"

#include "platform/x11/X11Clients.h"
#include "platform/x11/X11Connection.h"

namespace vima::x11 {

xcb_window_t activeWindow()
{
    if (!connection())
        return XCB_NONE;
    return cardinalProperty(rootWindow(), atom("_NET_ACTIVE_WINDOW"), XCB_ATOM_WINDOW).value_or(XCB_NONE);
}

QList<xcb_window_t> clientWindows()
{
    if (!connection())
        return {};
    const QByteArray bytes = property(rootWindow(), atom("_NET_CLIENT_LIST"), XCB_ATOM_WINDOW);
    const auto *windows = reinterpret_cast<const xcb_window_t *>(bytes.constData());
    return QList<xcb_window_t>(windows, windows + bytes.size() / qsizetype(sizeof(xcb_window_t)));
}

qint64 windowProcess(xcb_window_t window)
{
    if (window == XCB_NONE || !connection())
        return 0;
    if (const auto pid = cardinalProperty(window, atom("_NET_WM_PID"), XCB_ATOM_CARDINAL))
        return *pid;
    // Not every toolkit sets _NET_WM_PID; the server knows its local clients.
    return clientProcess(connection(), window).value_or(0);
}

void activateWindow(xcb_window_t window)
{
    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = window;
    message.type = atom("_NET_ACTIVE_WINDOW");
    message.data.data32[0] = 2; // from a pager: no focus-stealing prevention
    message.data.data32[1] = XCB_CURRENT_TIME;
    xcb_connection_t *c = connection();
    xcb_send_event(c, 0, rootWindow(),
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char *>(&message));
    xcb_flush(c);
}

} // namespace vima::x11
