#pragma once

#include "platform/x11/X11OwnConnection.h"

#include <QByteArray>
#include <QObject>
#include <QSocketNotifier>
#include <memory>

namespace vima {

// One running copy per user and X display, whatever environment each start
// sees: the copy that runs owns a selection of the display named after the
// user, as one manager per screen does by X convention. The display names it,
// however DISPLAY spells it (":0", ":0.0"), and it goes with the process.
// A new copy takes the selection over, which tells the old one to quit
// (SelectionClear), and waits for the old one's connection to close, so that
// its hotkey grab and last save are done; it forces a copy that doesn't go
// only after checking the process really runs this program. Each starter waits
// for the one it took over from, so copies started together leave exactly
// one: the last to take over.
class InstanceLock final : public QObject {
    Q_OBJECT
public:
    enum class Start {
        First,
        // Ended a running copy: a relaunch, which the agent treats as a reopen.
        ReplacedOlderCopy,
        // A later start took over while this one waited: it must not run.
        Superseded,
    };

    InstanceLock();

    // Ends the copy that runs and takes its place.
    Start acquire(int waitMilliseconds = 3000);

Q_SIGNALS:
    // A later start took over: this copy should quit.
    void replaced();

private:
    xcb_window_t takeSelection(bool &previousStarting);
    bool finishStarting();
    bool waitForEnd(xcb_window_t window, int milliseconds);
    void endPrevious(xcb_window_t previous, bool starting, int waitMilliseconds);
    void handle(const xcb_generic_event_t *event);
    void selectionCleared();
    void readEvents();

    X11OwnConnection x_;
    xcb_atom_t selection_ = XCB_NONE;
    xcb_atom_t starting_ = XCB_NONE;
    xcb_window_t ended_ = XCB_NONE;
    std::unique_ptr<QSocketNotifier> notifier_;
};

// Whether `pid` runs the very file this process runs (its device and inode),
// or, under this user, the file that stood at its path before it was replaced
// and is gone since.
bool isSameProgram(qint64 pid);

} // namespace vima
