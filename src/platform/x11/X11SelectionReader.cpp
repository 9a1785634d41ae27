#include "platform/x11/X11SelectionReader.h"

#include "platform/x11/X11Clients.h"

#include <QList>
#include <QSet>
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <poll.h>

namespace vima {
namespace {

// The formats a clipboard may offer, and the protocol's own beside them.
constexpr qint64 largestTargetList = (largestClipboardFormatCount + 8) * qint64(sizeof(xcb_atom_t));
// How often a wait looks at the abort flag.
constexpr qint64 abortPollMs = 20;

} // namespace

X11SelectionReader::X11SelectionReader(const std::atomic_bool *abort) : abort_(abort)
{
    if (!x_.isConnected())
        return;
    property_ = x_.atom("VIMA_SELECTION");
    incr_ = x_.atom("INCR");
}

bool X11SelectionReader::isProtocolTarget(const QByteArray &name)
{
    static const QList<QByteArray> protocol{"TARGETS", "MULTIPLE", "TIMESTAMP", "SAVE_TARGETS", "DELETE",
                                            "INSERT_SELECTION", "INSERT_PROPERTY"};
    return protocol.contains(name);
}

QByteArray X11SelectionReader::atomName(xcb_atom_t atom)
{
    const auto reply = ownedReply(xcb_get_atom_name_reply(x_.get(), xcb_get_atom_name(x_.get(), atom), nullptr));
    if (!reply)
        return {};
    return QByteArray(xcb_get_atom_name_name(reply.get()), xcb_get_atom_name_name_length(reply.get()));
}

std::optional<qint64> X11SelectionReader::ownerProcess(const char *selection)
{
    if (!isConnected())
        return std::nullopt;
    return x11::clientProcess(x_.get(), x_.selectionOwner(x_.atom(selection)));
}

std::optional<bool> X11SelectionReader::isOwnedBy(const char *selection, const RunningApplication &app)
{
    if (!isConnected())
        return std::nullopt;
    return x11::ownedBy(x_.get(), x_.selectionOwner(x_.atom(selection)), app);
}

SelectionRead<QString> X11SelectionReader::text(const char *selection, QDeadlineTimer deadline, qint64 ceiling)
{
    if (!isConnected())
        return SelectionRead<QString>::noAnswer();
    const xcb_atom_t source = x_.atom(selection);
    const xcb_atom_t targets[] = {x_.atom("UTF8_STRING"), x_.atom("text/plain;charset=utf-8"), XCB_ATOM_STRING};
    for (const xcb_atom_t target : targets) {
        const Bytes data = convert(source, target, deadline, ceiling);
        switch (data.status) {
        case Bytes::Status::value:
            return SelectionRead<QString>::of(target == XCB_ATOM_STRING ? QString::fromLatin1(*data.value)
                                                                        : QString::fromUtf8(*data.value));
        case Bytes::Status::absent:
            continue; // the owner has no text in this format
        case Bytes::Status::noAnswer:
        case Bytes::Status::tooManyFormats:
        case Bytes::Status::formatNameTooLong:
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
    const xcb_atom_t source = x_.atom(selection);
    if (x_.selectionOwner(source) == XCB_NONE)
        return Read::of({});
    const Bytes targets = convert(source, x_.atom("TARGETS"), deadline, largestTargetList);
    if (targets.status == Bytes::Status::tooLarge)
        return Read::tooManyFormats();
    if (targets.status != Bytes::Status::value)
        return Read::noAnswer();
    PasteboardSnapshot::Item item;
    QSet<xcb_atom_t> seen;
    // Each distinct content once, shared by every name it comes under.
    QList<QByteArray> contents;
    qint64 largest = 0;
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
        const Bytes data = convert(source, atoms[i], deadline, std::max(left, largest));
        if (data.status == Bytes::Status::tooLarge)
            return Read::tooLarge();
        if (data.status == Bytes::Status::noAnswer || deadline.hasExpired())
            return Read::noAnswer();
        if (!data.value)
            continue;
        const qsizetype same = contents.indexOf(*data.value);
        if (same < 0 && data.value->size() > left)
            return Read::tooLarge();
        if (same < 0) {
            left -= data.value->size();
            largest = std::max(largest, qint64(data.value->size()));
            contents.append(*data.value);
        }
        item.append({QString::fromLatin1(name), same < 0 ? *data.value : contents.at(same)});
    }
    PasteboardSnapshot result;
    if (!item.isEmpty())
        result.items.append(item);
    return Read::of(result);
}

X11SelectionReader::Bytes X11SelectionReader::convert(xcb_atom_t selection, xcb_atom_t target,
                                                      QDeadlineTimer deadline, qint64 ceiling)
{
    xcb_delete_property(x_.get(), x_.window(), property_);
    xcb_convert_selection(x_.get(), x_.window(), selection, target, property_, XCB_CURRENT_TIME);
    xcb_flush(x_.get());
    for (;;) {
        const auto event = ownedReply(waitFor(XCB_SELECTION_NOTIFY, deadline));
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
    const auto size = ownedReply(xcb_get_property_reply(
        x_.get(), xcb_get_property(x_.get(), 0, x_.window(), property_, XCB_GET_PROPERTY_TYPE_ANY, 0, 0),
        nullptr));
    if (!size)
        return Bytes::noAnswer();
    type = size->type;
    if (type == XCB_NONE)
        return Bytes::absent();
    // The start of an incremental transfer holds only a size estimate.
    const bool incremental = type == incr_;
    if (!incremental && qint64(size->bytes_after) > ceiling) {
        xcb_delete_property(x_.get(), x_.window(), property_);
        xcb_flush(x_.get());
        return Bytes::tooLarge();
    }
    const uint32_t words = incremental ? 1 : (size->bytes_after + 3) / 4;
    const auto reply = ownedReply(xcb_get_property_reply(
        x_.get(), xcb_get_property(x_.get(), 1, x_.window(), property_, XCB_GET_PROPERTY_TYPE_ANY, 0, words),
        nullptr));
    xcb_flush(x_.get());
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
        const auto event = ownedReply(waitFor(XCB_PROPERTY_NOTIFY, deadline));
        if (!event)
            return Bytes::noAnswer();
        const auto *notify = reinterpret_cast<const xcb_property_notify_event_t *>(event.get());
        if (notify->window != x_.window() || notify->atom != property_ || notify->state != XCB_PROPERTY_NEW_VALUE)
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
        while (xcb_generic_event_t *event = xcb_poll_for_event(x_.get())) {
            if ((event->response_type & 0x7f) == type)
                return event;
            std::free(event);
        }
        if (xcb_connection_has_error(x_.get()) || (abort_ && *abort_))
            return nullptr;
        const qint64 remaining = deadline.remainingTime();
        if (remaining == 0)
            return nullptr;
        const qint64 slice = abort_ ? abortPollMs : 1000;
        pollfd descriptor{xcb_get_file_descriptor(x_.get()), POLLIN, 0};
        poll(&descriptor, 1, int(remaining < 0 ? slice : std::min(remaining, slice)));
    }
}

} // namespace vima
