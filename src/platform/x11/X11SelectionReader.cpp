#include "platform/x11/X11SelectionReader.h"

#include "platform/x11/X11Clients.h"

#include <QList>
#include <QSet>
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

// More formats than any program offers: such a list is refused like data
// over the ceiling.
constexpr qint64 largestTargetList = 1024 * qint64(sizeof(xcb_atom_t));
// How often a wait looks at the abort flag.
constexpr qint64 abortPollMs = 20;

} // namespace

X11SelectionReader::X11SelectionReader(const std::atomic_bool *abort) : abort_(abort)
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
    incr_ = atom("INCR");
}

X11SelectionReader::~X11SelectionReader()
{
    xcb_disconnect(connection_);
}

bool X11SelectionReader::isProtocolTarget(const QByteArray &name)
{
    static const QList<QByteArray> protocol{"TARGETS", "MULTIPLE", "TIMESTAMP", "SAVE_TARGETS", "DELETE",
                                            "INSERT_SELECTION", "INSERT_PROPERTY"};
    return protocol.contains(name);
}

xcb_atom_t X11SelectionReader::atom(const char *name)
{
    const auto reply = owned(xcb_intern_atom_reply(
        connection_, xcb_intern_atom(connection_, 0, static_cast<uint16_t>(std::strlen(name)), name), nullptr));
    return reply ? reply->atom : XCB_NONE;
}

QByteArray X11SelectionReader::atomName(xcb_atom_t atom)
{
    const auto reply = owned(xcb_get_atom_name_reply(connection_, xcb_get_atom_name(connection_, atom), nullptr));
    if (!reply)
        return {};
    return QByteArray(xcb_get_atom_name_name(reply.get()), xcb_get_atom_name_name_length(reply.get()));
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

SelectionRead<QString> X11SelectionReader::text(const char *selection, QDeadlineTimer deadline, qint64 ceiling)
{
    if (!isConnected())
        return SelectionRead<QString>::noAnswer();
    const xcb_atom_t source = atom(selection);
    const xcb_atom_t targets[] = {atom("UTF8_STRING"), atom("text/plain;charset=utf-8"), XCB_ATOM_STRING};
    for (const xcb_atom_t target : targets) {
        const Bytes data = convert(source, target, deadline, ceiling);
        switch (data.status) {
        case Bytes::Status::value:
            return SelectionRead<QString>::of(target == XCB_ATOM_STRING ? QString::fromLatin1(*data.value)
                                                                        : QString::fromUtf8(*data.value));
        case Bytes::Status::absent:
            continue; // the owner has no text in this format
        case Bytes::Status::noAnswer:
            return SelectionRead<QString>::noAnswer();
        case Bytes::Status::tooLarge:
            return SelectionRead<QString>::tooLarge();
        }
    }
    return SelectionRead<QString>::absent();
}

SelectionRead<PasteboardSnapshot> X11SelectionReader::snapshot(const char *selection, QDeadlineTimer deadline,
                                                               qint64 ceiling)
{
    using Read = SelectionRead<PasteboardSnapshot>;
    if (!isConnected())
        return Read::noAnswer();
    const xcb_atom_t source = atom(selection);
    if (owner(source) == XCB_NONE)
        return Read::of({});
    const Bytes targets = convert(source, atom("TARGETS"), deadline, largestTargetList);
    if (targets.status == Bytes::Status::tooLarge)
        return Read::tooLarge();
    if (targets.status != Bytes::Status::value)
        return Read::noAnswer();
    PasteboardSnapshot::Item item;
    QSet<xcb_atom_t> seen;
    qint64 left = ceiling;
    const auto *atoms = reinterpret_cast<const xcb_atom_t *>(targets.value->constData());
    const qsizetype count = targets.value->size() / qsizetype(sizeof(xcb_atom_t));
    for (qsizetype i = 0; i < count; ++i) {
        if (seen.contains(atoms[i]))
            continue;
        seen.insert(atoms[i]);
        const QByteArray name = atomName(atoms[i]);
        if (name.isEmpty() || isProtocolTarget(name))
            continue;
        const Bytes data = convert(source, atoms[i], deadline, left);
        if (data.status == Bytes::Status::tooLarge)
            return Read::tooLarge();
        if (data.status == Bytes::Status::noAnswer || deadline.hasExpired())
            return Read::noAnswer();
        if (data.value) {
            left -= data.value->size();
            item.append({QString::fromLatin1(name), *data.value});
        }
    }
    PasteboardSnapshot result;
    if (!item.isEmpty())
        result.items.append(item);
    return Read::of(result);
}

X11SelectionReader::Bytes X11SelectionReader::convert(xcb_atom_t selection, xcb_atom_t target,
                                                      QDeadlineTimer deadline, qint64 ceiling)
{
    xcb_delete_property(connection_, window_, property_);
    xcb_convert_selection(connection_, window_, selection, target, property_, XCB_CURRENT_TIME);
    xcb_flush(connection_);
    for (;;) {
        const auto event = owned(waitFor(XCB_SELECTION_NOTIFY, deadline));
        if (!event)
            return Bytes::noAnswer();
        const auto *notify = reinterpret_cast<const xcb_selection_notify_event_t *>(event.get());
        if (notify->target != target || notify->selection != selection)
            continue; // a late answer to an earlier request
        if (notify->property == XCB_NONE)
            return Bytes::absent(); // the owner refused this format
        break;
    }
    xcb_atom_t type = XCB_NONE;
    const Bytes data = takeProperty(ceiling, type);
    if (data.status == Bytes::Status::value && type == incr_)
        return readIncrementally(deadline, ceiling);
    return data;
}

X11SelectionReader::Bytes X11SelectionReader::takeProperty(qint64 ceiling, xcb_atom_t &type)
{
    // Its size first: an owner may have put any amount there.
    const auto size = owned(xcb_get_property_reply(
        connection_, xcb_get_property(connection_, 0, window_, property_, XCB_GET_PROPERTY_TYPE_ANY, 0, 0),
        nullptr));
    if (!size)
        return Bytes::noAnswer();
    type = size->type;
    if (type == XCB_NONE)
        return Bytes::absent();
    // The start of an incremental transfer holds only a size estimate.
    const bool incremental = type == incr_;
    if (!incremental && qint64(size->bytes_after) > ceiling) {
        xcb_delete_property(connection_, window_, property_);
        xcb_flush(connection_);
        return Bytes::tooLarge();
    }
    const uint32_t words = incremental ? 1 : (size->bytes_after + 3) / 4;
    const auto reply = owned(xcb_get_property_reply(
        connection_, xcb_get_property(connection_, 1, window_, property_, XCB_GET_PROPERTY_TYPE_ANY, 0, words),
        nullptr));
    xcb_flush(connection_);
    if (!reply)
        return Bytes::noAnswer();
    type = reply->type;
    return Bytes::of(QByteArray(static_cast<const char *>(xcb_get_property_value(reply.get())),
                                xcb_get_property_value_length(reply.get())));
}

X11SelectionReader::Bytes X11SelectionReader::readIncrementally(QDeadlineTimer deadline, qint64 ceiling)
{
    // Large data comes in chunks: each new value of the property is one, and
    // an empty one ends the transfer.
    QByteArray data;
    for (;;) {
        const auto event = owned(waitFor(XCB_PROPERTY_NOTIFY, deadline));
        if (!event)
            return Bytes::noAnswer();
        const auto *notify = reinterpret_cast<const xcb_property_notify_event_t *>(event.get());
        if (notify->window != window_ || notify->atom != property_ || notify->state != XCB_PROPERTY_NEW_VALUE)
            continue;
        xcb_atom_t type = XCB_NONE;
        const Bytes chunk = takeProperty(ceiling - data.size(), type);
        if (chunk.status == Bytes::Status::tooLarge)
            return chunk;
        if (chunk.status != Bytes::Status::value)
            return Bytes::noAnswer();
        if (chunk.value->isEmpty())
            return Bytes::of(data);
        data.append(*chunk.value);
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
        if (xcb_connection_has_error(connection_) || (abort_ && *abort_))
            return nullptr;
        const qint64 remaining = deadline.remainingTime();
        if (remaining == 0)
            return nullptr;
        const qint64 slice = abort_ ? abortPollMs : 1000;
        pollfd descriptor{xcb_get_file_descriptor(connection_), POLLIN, 0};
        poll(&descriptor, 1, int(remaining < 0 ? slice : std::min(remaining, slice)));
    }
}

} // namespace vima
