#include "platform/x11/X11Connection.h"

#include "platform/ScreenMap.h"

#include <QGuiApplication>
#include <QHash>
#include <QScreen>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <xcb/xinput.h>

namespace vima::x11 {

namespace {

template<typename Reply>
using ReplyPtr = std::unique_ptr<Reply, decltype(&std::free)>;

template<typename Reply>
ReplyPtr<Reply> owned(Reply *reply)
{
    return ReplyPtr<Reply>(reply, &std::free);
}

} // namespace

xcb_connection_t *connection()
{
    auto *x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->connection() : nullptr;
}

xcb_window_t rootWindow()
{
    xcb_connection_t *c = connection();
    return c ? xcb_setup_roots_iterator(xcb_get_setup(c)).data->root : XCB_NONE;
}

xcb_atom_t atom(const char *name)
{
    static QHash<QByteArray, xcb_atom_t> atoms;
    const QByteArray key(name);
    if (const auto found = atoms.constFind(key); found != atoms.constEnd())
        return *found;
    xcb_connection_t *c = connection();
    if (!c)
        return XCB_NONE;
    const auto reply = owned(xcb_intern_atom_reply(
        c, xcb_intern_atom(c, 0, static_cast<uint16_t>(key.size()), key.constData()), nullptr));
    const xcb_atom_t value = reply ? reply->atom : XCB_NONE;
    if (value != XCB_NONE)
        atoms.insert(key, value);
    return value;
}

QPointF toLogical(QPoint native)
{
    QList<ScreenMap::Screen> screens;
    for (const QScreen *screen : QGuiApplication::screens()) {
        // Qt keeps a screen's corner in device pixels and divides only its size.
        const QRect logical = screen->geometry();
        const double ratio = screen->devicePixelRatio();
        const QRect native(logical.topLeft(), (QSizeF(logical.size()) * ratio).toSize());
        screens.append({native, ratio, logical});
    }
    return ScreenMap(std::move(screens)).toLogical(native);
}

void addEventMask(xcb_window_t window, uint32_t mask)
{
    xcb_connection_t *c = connection();
    const auto attributes =
        owned(xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, window), nullptr));
    // Gone: nothing to hear.
    if (!attributes || (attributes->your_event_mask & mask) == mask)
        return;
    const uint32_t value = attributes->your_event_mask | mask;
    // A window that goes meanwhile is no error worth a warning.
    xcb_discard_reply(c, xcb_change_window_attributes_checked(c, window, XCB_CW_EVENT_MASK, &value).sequence);
    xcb_flush(c);
}

std::optional<uint8_t> selectRootXInputEvents(uint32_t mask)
{
    xcb_connection_t *c = connection();
    const xcb_query_extension_reply_t *extension = xcb_get_extension_data(c, &xcb_input_id);
    if (!extension || !extension->present)
        return std::nullopt;
    const xcb_window_t root = rootWindow();
    uint32_t bits = mask;
    const auto selected = owned(xcb_input_xi_get_selected_events_reply(
        c, xcb_input_xi_get_selected_events(c, root), nullptr));
    if (!selected)
        return std::nullopt;
    for (auto it = xcb_input_xi_get_selected_events_masks_iterator(selected.get()); it.rem;
         xcb_input_event_mask_next(&it)) {
        if (it.data->deviceid == XCB_INPUT_DEVICE_ALL_MASTER && it.data->mask_len > 0)
            bits |= xcb_input_event_mask_mask(it.data)[0];
    }
    struct {
        xcb_input_event_mask_t head;
        uint32_t bits;
    } selection{{XCB_INPUT_DEVICE_ALL_MASTER, 1}, bits};
    xcb_input_xi_select_events(c, root, 1, &selection.head);
    xcb_flush(c);
    return extension->major_opcode;
}

QByteArray property(xcb_window_t window, xcb_atom_t property, xcb_atom_t type)
{
    xcb_connection_t *c = connection();
    const auto reply = owned(xcb_get_property_reply(
        c, xcb_get_property(c, 0, window, property, type, 0, 4096), nullptr));
    if (!reply || reply->type == XCB_NONE)
        return {};
    return QByteArray(static_cast<const char *>(xcb_get_property_value(reply.get())),
                      xcb_get_property_value_length(reply.get()));
}

std::optional<uint32_t> cardinalProperty(xcb_window_t window, xcb_atom_t name, xcb_atom_t type)
{
    const QByteArray bytes = property(window, name, type);
    if (bytes.size() < static_cast<qsizetype>(sizeof(uint32_t)))
        return std::nullopt;
    uint32_t value = 0;
    std::memcpy(&value, bytes.constData(), sizeof value);
    return value;
}

QStringList stringsProperty(xcb_window_t window, xcb_atom_t name, xcb_atom_t type)
{
    QStringList strings;
    for (const QByteArray &part : property(window, name, type).split('\0')) {
        if (!part.isEmpty())
            strings.append(QString::fromUtf8(part));
    }
    return strings;
}

} // namespace vima::x11
