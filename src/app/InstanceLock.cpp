#include "app/InstanceLock.h"

#include "app/Logging.h"
#include "platform/x11/X11Clients.h"

#include <QDeadlineTimer>
#include <QLoggingCategory>

#include <climits>
#include <csignal>
#include <poll.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace vima {

namespace {

// Long enough for a few copies ahead in the queue, each ending the one before.
constexpr int startingWait = 30000;
constexpr int killedWait = 1000;

// Per user: another user's copy on the same display is left alone.
QByteArray selectionName() { return "_COM_VIMA_VIMA_U" + QByteArray::number(::getuid()); }

// What a starter reads and changes together: no other starter comes between.
class ServerGrab {
public:
    explicit ServerGrab(xcb_connection_t *connection) : connection_(connection) { xcb_grab_server(connection_); }
    ~ServerGrab()
    {
        xcb_ungrab_server(connection_);
        xcb_flush(connection_);
    }
    ServerGrab(const ServerGrab &) = delete;
    ServerGrab &operator=(const ServerGrab &) = delete;

private:
    xcb_connection_t *connection_;
};

bool hasProperty(xcb_connection_t *connection, xcb_window_t window, xcb_atom_t property)
{
    const auto reply = ownedReply(
        xcb_get_property_reply(connection, xcb_get_property(connection, 0, window, property, XCB_ATOM_ANY, 0, 0), nullptr));
    return reply && reply->type != XCB_NONE;
}

// Empty when it can't be read.
std::string linkTarget(const std::string &path)
{
    char target[PATH_MAX];
    const ssize_t length = ::readlink(path.c_str(), target, sizeof target);
    return length > 0 && size_t(length) < sizeof target ? std::string(target, size_t(length)) : std::string();
}

} // namespace

InstanceLock::InstanceLock()
{
    if (!x_.isConnected()) {
        qCWarning(lcApp) << "Could not reach the X server to find a running copy";
        return;
    }
    selection_ = x_.atom(selectionName().constData());
    starting_ = x_.atom("_VIMA_STARTING");
    // A copy still taking over may wait long for the one before it; a later start waits as long for it.
    const uint32_t mark = 1;
    xcb_change_property(x_.get(), XCB_PROP_MODE_REPLACE, x_.window(), starting_, XCB_ATOM_CARDINAL, 32, 1, &mark);
}

bool isSameProgram(qint64 pid)
{
    // By the file itself: any program may be called "tavelon".
    const std::string process = "/proc/" + std::to_string(pid);
    struct stat theirs;
    struct stat ours;
    if (::stat((process + "/exe").c_str(), &theirs) == 0 && ::stat("/proc/self/exe", &ours) == 0
        && theirs.st_dev == ours.st_dev && theirs.st_ino == ours.st_ino)
        return true;
    // An older copy of ours whose file an upgrade or a rebuild has replaced:
    // that file is gone, not a live one whose name merely ends so.
    const std::string own = linkTarget("/proc/self/exe");
    return !own.empty() && linkTarget(process + "/exe") == own + " (deleted)"
        && ::stat((process + "/exe").c_str(), &theirs) == 0 && theirs.st_nlink == 0
        && ::stat(process.c_str(), &theirs) == 0 && theirs.st_uid == ::getuid();
}

InstanceLock::Start InstanceLock::acquire(int waitMilliseconds)
{
    if (!x_.isConnected())
        return Start::First;
    bool previousStarting = false;
    const xcb_window_t previous = takeSelection(previousStarting);
    if (previous != XCB_NONE)
        endPrevious(previous, previousStarting, waitMilliseconds);
    if (!finishStarting()) {
        qCInfo(lcApp) << "A later start took over; leaving it to that one";
        return Start::Superseded;
    }
    notifier_ = std::make_unique<QSocketNotifier>(xcb_get_file_descriptor(x_.get()), QSocketNotifier::Read);
    connect(notifier_.get(), &QSocketNotifier::activated, this, &InstanceLock::readEvents);
    // What came in with the replies above never wakes the notifier.
    QMetaObject::invokeMethod(this, &InstanceLock::readEvents, Qt::QueuedConnection);
    return previous != XCB_NONE ? Start::ReplacedOlderCopy : Start::First;
}

// Returns the copy that owned the selection, if any.
xcb_window_t InstanceLock::takeSelection(bool &previousStarting)
{
    const ServerGrab grab(x_.get());
    // Before the previous copy's end is listened for: the wait drops other events.
    const xcb_timestamp_t now = x_.serverTime();
    const xcb_window_t previous = x_.selectionOwner(selection_);
    if (previous != XCB_NONE) {
        // Its end, whenever it comes.
        const uint32_t events = XCB_EVENT_MASK_STRUCTURE_NOTIFY;
        xcb_change_window_attributes(x_.get(), previous, XCB_CW_EVENT_MASK, &events);
        previousStarting = hasProperty(x_.get(), previous, starting_);
    }
    xcb_set_selection_owner(x_.get(), x_.window(), selection_, now);
    return previous;
}

// Whether this copy still owns the selection, and so runs.
bool InstanceLock::finishStarting()
{
    const ServerGrab grab(x_.get());
    if (x_.selectionOwner(selection_) != x_.window())
        return false;
    xcb_delete_property(x_.get(), x_.window(), starting_);
    return true;
}

// Returns whether the window went.
bool InstanceLock::waitForEnd(xcb_window_t window, int milliseconds)
{
    const QDeadlineTimer deadline(milliseconds);
    for (;;) {
        while (const auto event = ownedReply(xcb_poll_for_event(x_.get())))
            handle(event.get());
        if (ended_ == window || xcb_connection_has_error(x_.get()))
            return true;
        if (deadline.hasExpired())
            return false;
        pollfd descriptor{xcb_get_file_descriptor(x_.get()), POLLIN, 0};
        ::poll(&descriptor, 1, int(deadline.remainingTime()));
    }
}

void InstanceLock::endPrevious(xcb_window_t previous, bool starting, int waitMilliseconds)
{
    // Blocking wait before any service exists: the old copy must let go of the
    // hotkey grab and finish its last save first.
    qCInfo(lcApp) << "Asking the running copy to quit";
    if (waitForEnd(previous, starting ? startingWait : waitMilliseconds))
        return;
    const std::optional<qint64> holder = x11::clientProcess(x_.get(), previous);
    // Any client of the display may own the name; one that isn't this program stays.
    if (!holder || !isSameProgram(*holder)) {
        qCWarning(lcApp) << "The running copy's process is not this program; leaving it alone";
        return;
    }
    // A signal ends it even where its event loop is stuck.
    qCWarning(lcApp) << "Running copy" << *holder << "did not quit; ending it";
    ::kill(pid_t(*holder), SIGTERM);
    if (waitForEnd(previous, waitMilliseconds))
        return;
    qCWarning(lcApp) << "Running copy" << *holder << "did not end; forcing it";
    ::kill(pid_t(*holder), SIGKILL);
    if (!waitForEnd(previous, killedWait))
        qCWarning(lcApp) << "Could not end the running copy" << *holder;
}

void InstanceLock::handle(const xcb_generic_event_t *event)
{
    switch (event->response_type & 0x7f) {
    case XCB_DESTROY_NOTIFY:
        ended_ = reinterpret_cast<const xcb_destroy_notify_event_t *>(event)->window;
        break;
    case XCB_SELECTION_CLEAR:
        if (notifier_ && reinterpret_cast<const xcb_selection_clear_event_t *>(event)->selection == selection_)
            selectionCleared();
        break;
    default:
        break;
    }
}

// Any client may send a SelectionClear: only the server says whether another copy took over.
void InstanceLock::selectionCleared()
{
    const xcb_window_t owner = x_.selectionOwner(selection_);
    if (owner == x_.window()) {
        qCInfo(lcApp) << "Ignored a SelectionClear that no other copy sent";
        return;
    }
    if (owner == XCB_NONE) {
        // Let go of by another program: taken back, or a later start would find no copy.
        qCInfo(lcApp) << "The running copy's selection was let go of; taking it back";
        xcb_set_selection_owner(x_.get(), x_.window(), selection_, x_.serverTime());
        xcb_flush(x_.get());
        return;
    }
    qCInfo(lcApp) << "Another copy started; quitting";
    Q_EMIT replaced();
}

void InstanceLock::readEvents()
{
    while (const auto event = ownedReply(xcb_poll_for_event(x_.get())))
        handle(event.get());
    if (xcb_connection_has_error(x_.get()))
        notifier_->setEnabled(false);
}

} // namespace vima
