#include "platform/x11/X11ClipboardHandover.h"

#include "platform/x11/X11ClipboardKeeper.h"
#include "platform/x11/X11Connection.h"
#include "platform/x11/X11OwnConnection.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QLoggingCategory>
#include <sys/wait.h>

Q_LOGGING_CATEGORY(lcClipboardHandover, "com.vima.Vima.Clipboard")

namespace vima {
namespace {

// A paste gives the clipboard back at most 1.6 s after its keystroke; the
// whole hold stays inside the 3 s a second start waits for this copy to end.
constexpr int lendingLimitMs = 1800;
constexpr int holdLimitMs = 2500;
constexpr int pollMs = 10;

} // namespace

X11ClipboardHandover::X11ClipboardHandover(std::function<PasteboardSnapshot::Item()> held, QObject *parent)
    : QObject(parent), held_(std::move(held))
{
    poll_.setInterval(pollMs);
    connect(&poll_, &QTimer::timeout, this, &X11ClipboardHandover::advance);
}

bool X11ClipboardHandover::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::Quit || watched != QCoreApplication::instance() || released_)
        return false;
    if (holding_)
        return true; // the quit under way ends the program
    // A lent clipboard is put back before it is handed on.
    if (!lent_ && (!QGuiApplication::clipboard()->ownsClipboard() || !startKeeper()))
        return false;
    keeperStarted_ = !lent_;
    holding_ = true;
    lendingLimit_ = QDeadlineTimer(lendingLimitMs);
    limit_ = QDeadlineTimer(holdLimitMs);
    poll_.start();
    return true;
}

void X11ClipboardHandover::setLent(bool lent)
{
    // An action that lends the clipboard, or puts it back, takes it from a
    // keeper started before: a fresh one keeps what the clipboard then holds.
    if (lent != lent_)
        keeperStarted_ = false;
    lent_ = lent;
}

bool X11ClipboardHandover::startKeeper()
{
    xcb_connection_t *connection = x11::connection();
    if (!connection)
        return false;
    const auto owner = ownedReply(xcb_get_selection_owner_reply(
        connection, xcb_get_selection_owner(connection, x11::atom("CLIPBOARD")), nullptr));
    // Qt may not have heard yet that another program copied: its clipboard is
    // not Tavelon's to keep.
    const xcb_setup_t *setup = xcb_get_setup(connection);
    if (!owner || (owner->owner & ~setup->resource_id_mask) != setup->resource_id_base)
        return false;
    const PasteboardSnapshot::Item item = held_();
    if (item.isEmpty())
        return false;
    const std::optional<pid_t> keeper =
        X11ClipboardKeeper::start(QCoreApplication::applicationFilePath(), owner->owner, item);
    if (!keeper) {
        qCWarning(lcClipboardHandover, "Could not start the clipboard keeper; the clipboard goes with Tavelon");
        return false;
    }
    keeper_ = *keeper;
    return true;
}

bool X11ClipboardHandover::keeperEnded() const
{
    // It refused the clipboard, or another program took it already.
    return ::waitpid(keeper_, nullptr, WNOHANG) != 0;
}

void X11ClipboardHandover::advance()
{
    if (!keeperStarted_) {
        if (lent_ && !lendingLimit_.hasExpired())
            return;
        keeperStarted_ = QGuiApplication::clipboard()->ownsClipboard() && startKeeper();
        if (!keeperStarted_)
            release();
        return;
    }
    const bool handedOver = !QGuiApplication::clipboard()->ownsClipboard();
    if (!handedOver && !keeperEnded() && !limit_.hasExpired())
        return;
    if (!handedOver)
        qCWarning(lcClipboardHandover, "The clipboard keeper did not take the clipboard; it goes with Tavelon");
    release();
}

void X11ClipboardHandover::release()
{
    poll_.stop();
    released_ = true;
    QCoreApplication::quit();
}

} // namespace vima
