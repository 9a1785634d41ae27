#include "platform/x11/X11ScreenBackdrop.h"

#include "platform/x11/X11Connection.h"

#include <QGuiApplication>
#include <QImage>
#include <QScreen>
#include <cstdlib>
#include <xcb/xcb.h>

namespace vima {

namespace {

// The root window's pixels in `frame` (root coordinates), read straight into
// the image that holds them; none where the screen's format is not the common
// 24-bit colour in 32-bit pixels.
QImage readRoot(xcb_connection_t *c, const QRect &frame)
{
    const xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    if (screen->root_depth != 24 || xcb_get_setup(c)->image_byte_order != XCB_IMAGE_ORDER_LSB_FIRST)
        return {};
    const auto cookie = xcb_get_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, screen->root, int16_t(frame.x()),
                                      int16_t(frame.y()), uint16_t(frame.width()), uint16_t(frame.height()), ~0u);
    xcb_get_image_reply_t *reply = xcb_get_image_reply(c, cookie, nullptr);
    if (!reply)
        return {};
    const qsizetype stride = qsizetype(frame.width()) * 4;
    if (xcb_get_image_data_length(reply) < stride * frame.height()) {
        std::free(reply);
        return {};
    }
    return QImage(xcb_get_image_data(reply), frame.width(), frame.height(), stride, QImage::Format_RGB32,
                  [](void *data) { std::free(data); }, reply);
}

} // namespace

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
    // Whole device pixels only: a scaled screen goes through Qt's own grab.
    if (xcb_connection_t *c = x11::connection(); c && screen->devicePixelRatio() == 1) {
        if (QImage image = readRoot(c, frame); !image.isNull())
            return QPixmap::fromImage(std::move(image));
    }
    const QRect local = frame.translated(-screen->geometry().topLeft());
    return screen->grabWindow(0, local.x(), local.y(), local.width(), local.height());
}

} // namespace vima
