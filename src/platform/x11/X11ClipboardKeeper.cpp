#include "platform/x11/X11ClipboardKeeper.h"

#include "async/ChildProcess.h"
#include "platform/SelectionRead.h"
#include "platform/x11/ClipboardParcel.h"

#include <QLoggingCategory>
#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <poll.h>
#include <unistd.h>

Q_LOGGING_CATEGORY(lcClipboardKeeper, "com.vima.Vima.Clipboard")

namespace vima {
namespace {

constexpr qint64 managerTimeoutMs = 5000;
// Tavelon answers at once while it hands the clipboard over.
constexpr qint64 timestampTimeoutMs = 1000;
// A requestor that takes no chunk of a large format for this long has gone.
constexpr qint64 idleTransferMs = 5000;
constexpr uint32_t largestChunk = 256 * 1024;
// More (target, property) pairs than there are formats to ask for.
constexpr uint32_t largestMultiple = 2 * largestClipboardFormatCount;

// One line on standard error, for whoever typed the command.
int refuse(const QString &why, int exitCode)
{
    std::fprintf(stderr, "tavelon %s: %s\n", X11ClipboardKeeper::argument, why.toUtf8().constData());
    return exitCode;
}

} // namespace

X11ClipboardKeeper::X11ClipboardKeeper()
{
    if (!x_.isConnected())
        return;
    clipboard_ = x_.atom("CLIPBOARD");
    manager_ = x_.atom("CLIPBOARD_MANAGER");
    targetsTarget_ = x_.atom("TARGETS");
    multipleTarget_ = x_.atom("MULTIPLE");
    timestampTarget_ = x_.atom("TIMESTAMP");
    incr_ = x_.atom("INCR");
    atomPair_ = x_.atom("ATOM_PAIR");
    // A change of property is one request, whose header takes a few bytes.
    const uint32_t largestRequest = xcb_get_maximum_request_length(x_.get()) * 4;
    chunk_ = std::min(largestChunk, largestRequest - 100);
}

std::optional<pid_t> X11ClipboardKeeper::start(const QString &program, xcb_window_t owner,
                                               const PasteboardSnapshot::Item &item)
{
    // Taken while Tavelon holds the clipboard: whoever takes it later is not Tavelon.
    const xcb_timestamp_t heldAt = X11OwnConnection().serverTime();
    const int parcel = heldAt == XCB_CURRENT_TIME ? -1 : ClipboardParcel::seal(item, heldAt);
    if (parcel < 0)
        return std::nullopt;
    // It may outlive Tavelon by hours: it holds nothing of Tavelon's but the
    // parcel and the log.
    const std::optional<pid_t> pid = ChildProcess::spawn(
        {program, QString::fromLatin1(argument), QString::number(owner)}, {},
        {parcel, ChildProcess::inherited, ChildProcess::inherited});
    ::close(parcel);
    return pid;
}

int X11ClipboardKeeper::run(int count, char *arguments[])
{
    // Its output may be a terminal or a journal that goes before it does.
    std::signal(SIGPIPE, SIG_IGN);
    // It may outlive Tavelon by hours: nothing Tavelon had open (a connection
    // to a server, a pipe of a script) stays open with it.
    ::close_range(STDERR_FILENO + 1, ~0U, 0);
    bool parsed = false;
    const xcb_window_t owner = count == 1 ? QByteArray(arguments[0]).toUInt(&parsed) : XCB_NONE;
    if (!parsed || owner == XCB_NONE)
        return refuse(QStringLiteral("only Tavelon starts it, as it quits, with the id of its window"), 2);
    const ClipboardParcel::Opened parcel = ClipboardParcel::open(STDIN_FILENO);
    if (!parcel.item)
        return refuse(parcel.refusal, 2);
    // Nothing of Tavelon's stays open but the mapped parcel.
    const int nothing = ::open("/dev/null", O_RDONLY);
    ::dup2(nothing, STDIN_FILENO);
    ::close(nothing);
    X11ClipboardKeeper keeper;
    if (!keeper.takeOver(owner, parcel.heldAt, *parcel.item))
        return refuse(QStringLiteral("that window no longer holds the clipboard, so there is nothing to keep"), 1);
    keeper.askManager();
    return keeper.serve() ? 0 : 1;
}

bool X11ClipboardKeeper::takeOver(xcb_window_t owner, xcb_timestamp_t heldAt, const PasteboardSnapshot::Item &item)
{
    if (x_.window() == XCB_NONE || item.isEmpty())
        return false;
    // Every name at once: one wait for the server, not one per format.
    QList<xcb_intern_atom_cookie_t> cookies;
    for (const auto &[name, data] : item) {
        const QByteArray latin1 = name.toLatin1();
        cookies.append(xcb_intern_atom(x_.get(), 0, uint16_t(latin1.size()), latin1.constData()));
    }
    for (qsizetype i = 0; i < item.size(); ++i) {
        const auto reply = ownedReply(xcb_intern_atom_reply(x_.get(), cookies.at(i), nullptr));
        if (!reply || formats_.contains(reply->atom))
            continue;
        targets_.append(reply->atom);
        formats_.insert(reply->atom, item.at(i).second);
    }
    // The moment of the decision: a program that copies after it wins.
    since_ = x_.serverTime();
    if (since_ == XCB_CURRENT_TIME || formats_.isEmpty() || !stillTavelons(owner, heldAt))
        return false;
    xcb_set_selection_owner(x_.get(), x_.window(), clipboard_, since_);
    owner_ = x_.selectionOwner(clipboard_) == x_.window();
    if (owner_)
        qCInfo(lcClipboardKeeper, "Keeping the clipboard (%lld formats) until another program takes it",
               qint64(targets_.size()));
    return owner_;
}

bool X11ClipboardKeeper::stillTavelons(xcb_window_t owner, xcb_timestamp_t heldAt)
{
    // X reuses window ids: a program that came after Tavelon ended may hold
    // the clipboard under Tavelon's old window. It took it later.
    if (x_.selectionOwner(clipboard_) == owner) {
        if (const std::optional<xcb_timestamp_t> taken = ownerTimestamp())
            return *taken != XCB_CURRENT_TIME && qint32(*taken - heldAt) <= 0;
    }
    // On a busy machine Tavelon may have ended before its keeper got here (or
    // while it was asked): a clipboard that nobody has taken since is still
    // the one to keep.
    if (x_.selectionOwner(clipboard_) != XCB_NONE)
        return false;
    xcb_generic_error_t *error = nullptr;
    const auto window = ownedReply(
        xcb_get_window_attributes_reply(x_.get(), xcb_get_window_attributes(x_.get(), owner), &error));
    std::free(error);
    return !window;
}

std::optional<xcb_timestamp_t> X11ClipboardKeeper::ownerTimestamp()
{
    const xcb_atom_t property = x_.atom("VIMA_OWNER_TIMESTAMP");
    xcb_delete_property(x_.get(), x_.window(), property);
    xcb_convert_selection(x_.get(), x_.window(), clipboard_, timestampTarget_, property, XCB_CURRENT_TIME);
    xcb_flush(x_.get());
    const QDeadlineTimer deadline(timestampTimeoutMs);
    for (;;) {
        while (const auto event = ownedReply(xcb_poll_for_event(x_.get()))) {
            const auto *notify = reinterpret_cast<const xcb_selection_notify_event_t *>(event.get());
            if ((event->response_type & 0x7f) != XCB_SELECTION_NOTIFY || notify->selection != clipboard_
                || notify->target != timestampTarget_)
                continue;
            if (notify->property == XCB_NONE)
                return std::nullopt;
            const auto reply = ownedReply(xcb_get_property_reply(
                x_.get(), xcb_get_property(x_.get(), 1, x_.window(), property, XCB_ATOM_INTEGER, 0, 1), nullptr));
            if (!reply || reply->format != 32 || xcb_get_property_value_length(reply.get()) != 4)
                return std::nullopt;
            return *static_cast<const xcb_timestamp_t *>(xcb_get_property_value(reply.get()));
        }
        if (xcb_connection_has_error(x_.get()) || deadline.hasExpired())
            return std::nullopt;
        pollfd descriptor{xcb_get_file_descriptor(x_.get()), POLLIN, 0};
        poll(&descriptor, 1, int(deadline.remainingTime()));
    }
}

void X11ClipboardKeeper::askManager()
{
    // A manager takes the clipboard over before it has read it, and some
    // (mate-settings-daemon 1.26) never finish a format sent in chunks: such
    // a clipboard stays with the keeper.
    const bool chunked = std::any_of(formats_.cbegin(), formats_.cend(),
                                     [this](const QByteArray &data) { return data.size() > qsizetype(chunk_); });
    if (!owner_ || chunked || x_.selectionOwner(manager_) == XCB_NONE)
        return;
    // Left empty, the property asks the manager to save every format.
    const xcb_atom_t property = x_.atom("VIMA_SAVE_TARGETS");
    xcb_delete_property(x_.get(), x_.window(), property);
    xcb_convert_selection(x_.get(), x_.window(), manager_, x_.atom("SAVE_TARGETS"), property, since_);
    xcb_flush(x_.get());
    managerDeadline_ = QDeadlineTimer(managerTimeoutMs);
}

bool X11ClipboardKeeper::serve()
{
    for (;;) {
        while (const auto event = ownedReply(xcb_poll_for_event(x_.get())))
            handle(event.get());
        if (xcb_connection_has_error(x_.get())) {
            qCInfo(lcClipboardKeeper, "The X server went away; the clipboard with it");
            return false;
        }
        dropIdleTransfers();
        if (managerDeadline_ && managerDeadline_->hasExpired()) {
            managerDeadline_.reset();
            qCWarning(lcClipboardKeeper, "The clipboard manager did not answer; keeping the clipboard");
        }
        if (!owner_ && transfers_.isEmpty())
            return true;
        xcb_flush(x_.get());
        // Idle, it sleeps until the X server has something for it.
        const bool timed = !transfers_.isEmpty() || managerDeadline_;
        pollfd descriptor{xcb_get_file_descriptor(x_.get()), POLLIN, 0};
        poll(&descriptor, 1, timed ? 1000 : -1);
    }
}

void X11ClipboardKeeper::handle(const xcb_generic_event_t *event)
{
    switch (event->response_type & 0x7f) {
    case XCB_SELECTION_REQUEST:
        answer(reinterpret_cast<const xcb_selection_request_event_t *>(event));
        break;
    case XCB_SELECTION_CLEAR:
        // Any program can send one: only the server says who owns the
        // clipboard. Quietly: the log may be a terminal the user has long
        // gone on in.
        if (reinterpret_cast<const xcb_selection_clear_event_t *>(event)->selection == clipboard_)
            owner_ = x_.selectionOwner(clipboard_) == x_.window();
        break;
    case XCB_SELECTION_NOTIFY:
        managerAnswered(reinterpret_cast<const xcb_selection_notify_event_t *>(event));
        break;
    case XCB_PROPERTY_NOTIFY:
        continueTransfer(reinterpret_cast<const xcb_property_notify_event_t *>(event));
        break;
    default:
        break; // errors of requestors that went away, among others
    }
}

void X11ClipboardKeeper::answer(const xcb_selection_request_event_t *request)
{
    // Obsolete clients name no property: the target stands for it.
    const xcb_atom_t property = request->property == XCB_NONE ? request->target : request->property;
    const bool current = request->time == XCB_CURRENT_TIME || request->time >= since_;
    const bool answered = owner_ && current && request->selection == clipboard_
                          && (request->target == multipleTarget_
                                  ? convertMultiple(request->requestor, property)
                                  : convert(request->requestor, request->target, property));
    xcb_selection_notify_event_t notify{};
    notify.response_type = XCB_SELECTION_NOTIFY;
    notify.time = request->time;
    notify.requestor = request->requestor;
    notify.selection = request->selection;
    notify.target = request->target;
    notify.property = answered ? property : XCB_NONE;
    // The protocol sends events of 32 bytes.
    char buffer[32] = {};
    std::memcpy(buffer, &notify, std::min(sizeof(notify), sizeof(buffer)));
    xcb_send_event(x_.get(), 0, request->requestor, XCB_EVENT_MASK_NO_EVENT, buffer);
    xcb_flush(x_.get());
}

bool X11ClipboardKeeper::convert(xcb_window_t requestor, xcb_atom_t target, xcb_atom_t property)
{
    if (target == targetsTarget_) {
        const QList<xcb_atom_t> offered = QList<xcb_atom_t>{targetsTarget_, multipleTarget_, timestampTarget_}
                                          + targets_;
        xcb_change_property(x_.get(), XCB_PROP_MODE_REPLACE, requestor, property, XCB_ATOM_ATOM, 32,
                            uint32_t(offered.size()), offered.constData());
        return true;
    }
    if (target == timestampTarget_) {
        xcb_change_property(x_.get(), XCB_PROP_MODE_REPLACE, requestor, property, XCB_ATOM_INTEGER, 32, 1,
                            &since_);
        return true;
    }
    const auto format = formats_.constFind(target);
    if (format == formats_.cend())
        return false;
    send(requestor, property, target, *format);
    return true;
}

bool X11ClipboardKeeper::convertMultiple(xcb_window_t requestor, xcb_atom_t property)
{
    const auto reply = ownedReply(xcb_get_property_reply(
        x_.get(), xcb_get_property(x_.get(), 0, requestor, property, atomPair_, 0, largestMultiple * 2),
        nullptr));
    if (!reply || reply->type != atomPair_ || reply->format != 32)
        return false;
    const auto *pairs = static_cast<const xcb_atom_t *>(xcb_get_property_value(reply.get()));
    const qsizetype count = xcb_get_property_value_length(reply.get()) / qsizetype(sizeof(xcb_atom_t));
    QList<xcb_atom_t> answered(pairs, pairs + (count - count % 2));
    for (qsizetype i = 0; i < answered.size(); i += 2) {
        const xcb_atom_t target = answered.at(i);
        const xcb_atom_t into = answered.at(i + 1);
        if (into == XCB_NONE || target == multipleTarget_ || !convert(requestor, target, into))
            answered[i + 1] = XCB_NONE; // this one failed
    }
    xcb_change_property(x_.get(), XCB_PROP_MODE_REPLACE, requestor, property, atomPair_, 32,
                        uint32_t(answered.size()), answered.constData());
    return true;
}

void X11ClipboardKeeper::send(xcb_window_t requestor, xcb_atom_t property, xcb_atom_t type, const QByteArray &data)
{
    if (data.size() <= qsizetype(chunk_)) {
        xcb_change_property(x_.get(), XCB_PROP_MODE_REPLACE, requestor, property, type, 8, uint32_t(data.size()),
                            data.constData());
        return;
    }
    // In chunks (INCR): the next one goes each time the requestor has taken
    // the last, and an empty one ends it.
    transfers_.removeIf([&](const Transfer &t) { return t.requestor == requestor && t.property == property; });
    const uint32_t events = XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_change_window_attributes(x_.get(), requestor, XCB_CW_EVENT_MASK, &events);
    const uint32_t size = uint32_t(data.size());
    xcb_change_property(x_.get(), XCB_PROP_MODE_REPLACE, requestor, property, incr_, 32, 1, &size);
    transfers_.append({requestor, property, type, data, 0, QDeadlineTimer(idleTransferMs)});
}

void X11ClipboardKeeper::continueTransfer(const xcb_property_notify_event_t *notify)
{
    if (notify->state != XCB_PROPERTY_DELETE)
        return;
    const auto transfer = std::find_if(transfers_.begin(), transfers_.end(), [notify](const Transfer &t) {
        return t.requestor == notify->window && t.property == notify->atom;
    });
    if (transfer == transfers_.end())
        return;
    const qsizetype size = std::min(qsizetype(chunk_), transfer->data.size() - transfer->offset);
    xcb_change_property(x_.get(), XCB_PROP_MODE_REPLACE, transfer->requestor, transfer->property, transfer->type,
                        8, uint32_t(size), transfer->data.constData() + transfer->offset);
    transfer->offset += size;
    transfer->idle = QDeadlineTimer(idleTransferMs);
    if (size == 0)
        transfers_.erase(transfer);
}

void X11ClipboardKeeper::managerAnswered(const xcb_selection_notify_event_t *notify)
{
    if (notify->selection != manager_ || !managerDeadline_)
        return;
    managerDeadline_.reset();
    // The manager that saved it takes the clipboard over, which ends the keeper.
    if (notify->property == XCB_NONE)
        qCWarning(lcClipboardKeeper, "The clipboard manager did not save the clipboard; keeping it");
    else
        qCInfo(lcClipboardKeeper, "Handed the clipboard to the clipboard manager");
}

void X11ClipboardKeeper::dropIdleTransfers()
{
    transfers_.removeIf([](const Transfer &t) { return t.idle.hasExpired(); });
}

} // namespace vima
