#include "platform/x11/X11SelectionReader.h"

#include "platform/x11/X11Clients.h"

#include <QList>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <poll.h>

namespace vima {
namespace {

template<typename Reply>
std::unique_ptr<Reply, decltype(&std::free)> owned(Reply *reply)
{
    return {reply, &std::free};
}

// Formats that describe the selection rather than hold it.
const QList<QByteArray> protocolTargets{"TARGETS", "MULTIPLE", "TIMESTAMP", "SAVE_TARGETS", "DELETE",
                                        "INSERT_SELECTION", "INSERT_PROPERTY"};

} // namespace

X11SelectionReader::X11SelectionReader()
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
    property_ = atom("VIMA_SELECTION");
}

X11SelectionReader::~X11SelectionReader()
{
    xcb_disconnect(connection_);
}

xcb_atom_t X11SelectionReader::atom(const char *name)
{
    const auto reply = owned(xcb_intern_atom_reply(
        connection_, xcb_intern_atom(connection_, 0, static_cast<uint16_t>(std::strlen(name)), name), nullptr));
    return reply ? reply->atom : XCB_NONE;
}

QString X11SelectionReader::atomName(xcb_atom_t atom)
{
    const auto reply = owned(xcb_get_atom_name_reply(connection_, xcb_get_atom_name(connection_, atom), nullptr));
    if (!reply)
        return {};
    return QString::fromLatin1(xcb_get_atom_name_name(reply.get()), xcb_get_atom_name_name_length(reply.get()));
}

xcb_window_t X11SelectionReader::owner(xcb_atom_t selection)
{
    const auto reply = owned(
        xcb_get_selection_owner_reply(connection_, xcb_get_selection_owner(connection_, selection), nullptr));
    return reply ? reply->owner : XCB_NONE;
}

std::optional<qint64> X11SelectionReader::ownerProcess(const char *selection)
{
    if (!isConnected())
        return std::nullopt;
    return x11::clientProcess(connection_, owner(atom(selection)));
}

std::optional<bool> X11SelectionReader::isOwnedBy(const char *selection, const RunningApplication &app)
{
    if (!isConnected())
        return std::nullopt;
    return x11::ownedBy(connection_, owner(atom(selection)), app);
}

std::optional<QString> X11SelectionReader::text(const char *selection, QDeadlineTimer deadline)
{
    if (!isConnected())
        return std::nullopt;
    const xcb_atom_t source = atom(selection);
    for (const char *target : {"UTF8_STRING", "text/plain;charset=utf-8"}) {
        if (auto data = convert(source, atom(target), deadline))
            return QString::fromUtf8(*data);
    }
    if (auto latin1 = convert(source, XCB_ATOM_STRING, deadline))
        return QString::fromLatin1(*latin1);
    return std::nullopt;
}

std::optional<PasteboardSnapshot> X11SelectionReader::snapshot(const char *selection, QDeadlineTimer deadline)
{
    if (!isConnected())
        return std::nullopt;
    const xcb_atom_t source = atom(selection);
    if (owner(source) == XCB_NONE)
        return PasteboardSnapshot{};
    const auto targets = convert(source, atom("TARGETS"), deadline);
    if (!targets)
        return std::nullopt;
    PasteboardSnapshot::Item item;
    const auto *atoms = reinterpret_cast<const xcb_atom_t *>(targets->constData());
    const qsizetype count = targets->size() / qsizetype(sizeof(xcb_atom_t));
    for (qsizetype i = 0; i < count; ++i) {
        const QString name = atomName(atoms[i]);
        if (name.isEmpty() || protocolTargets.contains(name.toLatin1()))
            continue;
        const auto data = convert(source, atoms[i], deadline);
        if (deadline.hasExpired())
            return std::nullopt;
        if (data)
            item.append({name, *data});
    }
    PasteboardSnapshot result;
    if (!item.isEmpty())
        result.items.append(item);
    return result;
}

std::optional<QByteArray> X11SelectionReader::convert(xcb_atom_t selection, xcb_atom_t target,
                                                      QDeadlineTimer deadline)
{
    xcb_delete_property(connection_, window_, property_);
    xcb_convert_selection(connection_, window_, selection, target, property_, XCB_CURRENT_TIME);
    xcb_flush(connection_);
    const auto event = owned(waitFor(XCB_SELECTION_NOTIFY, deadline));
    if (!event)
        return std::nullopt;
    const auto *notify = reinterpret_cast<const xcb_selection_notify_event_t *>(event.get());
    if (notify->property == XCB_NONE)
        return std::nullopt; // the owner refused this format
    const auto reply = owned(xcb_get_property_reply(
        connection_, xcb_get_property(connection_, 1, window_, property_, XCB_GET_PROPERTY_TYPE_ANY, 0, 0x1fffffff),
        nullptr));
    xcb_flush(connection_);
    if (!reply || reply->type == XCB_NONE)
        return std::nullopt;
    if (reply->type == atom("INCR"))
        return readIncrementally(deadline);
    return QByteArray(static_cast<const char *>(xcb_get_property_value(reply.get())),
                      xcb_get_property_value_length(reply.get()));
}

std::optional<QByteArray> X11SelectionReader::readIncrementally(QDeadlineTimer deadline)
{
    // Large data comes in chunks: each new value of the property is one, and
    // an empty one ends the transfer.
    QByteArray data;
    for (;;) {
        const auto event = owned(waitFor(XCB_PROPERTY_NOTIFY, deadline));
        if (!event)
            return std::nullopt;
        const auto *notify = reinterpret_cast<const xcb_property_notify_event_t *>(event.get());
        if (notify->atom != property_ || notify->state != XCB_PROPERTY_NEW_VALUE)
            continue;
        const auto reply = owned(xcb_get_property_reply(
            connection_,
            xcb_get_property(connection_, 1, window_, property_, XCB_GET_PROPERTY_TYPE_ANY, 0, 0x1fffffff),
            nullptr));
        xcb_flush(connection_);
        if (!reply)
            return std::nullopt;
        const int length = xcb_get_property_value_length(reply.get());
        if (length == 0)
            return data;
        data.append(static_cast<const char *>(xcb_get_property_value(reply.get())), length);
    }
}

xcb_generic_event_t *X11SelectionReader::waitFor(uint8_t type, QDeadlineTimer deadline)
{
    for (;;) {
        while (xcb_generic_event_t *event = xcb_poll_for_event(connection_)) {
            if ((event->response_type & 0x7f) == type)
                return event;
            std::free(event);
        }
        if (xcb_connection_has_error(connection_))
            return nullptr;
        const qint64 remaining = deadline.remainingTime();
        if (remaining == 0)
            return nullptr;
        pollfd descriptor{xcb_get_file_descriptor(connection_), POLLIN, 0};
        poll(&descriptor, 1, remaining < 0 ? -1 : int(std::min<qint64>(remaining, 1000)));
    }
}

} // namespace vima
