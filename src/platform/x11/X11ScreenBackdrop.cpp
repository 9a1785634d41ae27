#include "platform/x11/X11ScreenBackdrop.h"

#include "platform/x11/X11Connection.h"

#include <QGuiApplication>
#include <QScreen>
#include <cstdlib>
#include <xcb/xcb.h>

namespace vima {

bool X11ScreenBackdrop::isTranslucencyAvailable() const
{
    xcb_connection_t *c = x11::connection();
    if (!c)
        return true;
    // The selection is per screen; Qt's connection talks to the default one.
    auto cookie = xcb_get_selection_owner(c, x11::atom("_NET_WM_CM_S0"));
    xcb_get_selection_owner_reply_t *reply = xcb_get_selection_owner_reply(c, cookie, nullptr);
    const bool owned = reply && reply->owner != XCB_NONE;
    std::free(reply);
    return owned;
}

QPixmap X11ScreenBackdrop::capture(const QRect &frame)
{
    QScreen *screen = QGuiApplication::screenAt(frame.center());
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (!screen)
        return {};
    const QRect local = frame.translated(-screen->geometry().topLeft());
    return screen->grabWindow(0, local.x(), local.y(), local.width(), local.height());
}

} // namespace vima
