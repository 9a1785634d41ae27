#pragma once

#include "platform/PasteboardSnapshot.h"
#include "platform/x11/X11OwnConnection.h"

#include <QByteArray>
#include <QDeadlineTimer>
#include <QHash>
#include <QList>
#include <QString>
#include <optional>
#include <sys/types.h>
#include <xcb/xcb.h>

namespace vima {

// What Tavelon leaves on CLIPBOARD, kept after it quits: an X selection dies
// with its owner. Tavelon starts itself again in this mode (`argument`, then
// the window that owns the clipboard), with the clipboard's bytes on its
// standard input (a ClipboardParcel): taking over asks nothing of Tavelon,
// however busy the machine. The keeper takes the clipboard over while that
// window still holds it (or, gone first, left it to nobody), hands it to the
// clipboard manager where one runs (SAVE_TARGETS), and serves every format
// until another program holds the clipboard or the X server goes away, as
// command-line clipboard tools do.
class X11ClipboardKeeper {
public:
    static constexpr const char *argument = "--keep-clipboard";

    X11ClipboardKeeper();
    X11ClipboardKeeper(const X11ClipboardKeeper &) = delete;
    X11ClipboardKeeper &operator=(const X11ClipboardKeeper &) = delete;

    // Starts `program` as the keeper of `item`, which Tavelon's window
    // `owner` holds: its pid, or nothing when it could not be started.
    static std::optional<pid_t> start(const QString &program, xcb_window_t owner,
                                      const PasteboardSnapshot::Item &item);
    // The keeper's whole life, for the process's main, given the arguments
    // after `argument`: its exit code. Anything but what `start` passes is
    // refused in one line on standard error.
    static int run(int count, char *arguments[]);

    // Takes the clipboard over from `owner`, which held it at the server time
    // `heldAt`, to serve `item`; false (and nothing taken) when another
    // program holds it by now, also under the same window id.
    bool takeOver(xcb_window_t owner, xcb_timestamp_t heldAt, const PasteboardSnapshot::Item &item);
    // Asks the clipboard manager, when one runs, to save the clipboard, when
    // no format of it needs sending in chunks.
    void askManager();
    // Serves the clipboard until another program holds it and every transfer
    // under way has ended; false when the X server went away.
    bool serve();

private:
    struct Transfer {
        xcb_window_t requestor;
        xcb_atom_t property;
        xcb_atom_t type;
        QByteArray data;
        qsizetype offset = 0;
        QDeadlineTimer idle;
    };

    // Whether the clipboard is still what Tavelon's window `owner` held at `heldAt`.
    bool stillTavelons(xcb_window_t owner, xcb_timestamp_t heldAt);
    // When the clipboard's owner took it, as it says (TIMESTAMP); none when
    // it doesn't say in time.
    std::optional<xcb_timestamp_t> ownerTimestamp();
    void handle(const xcb_generic_event_t *event);
    void answer(const xcb_selection_request_event_t *request);
    bool convert(xcb_window_t requestor, xcb_atom_t target, xcb_atom_t property);
    bool convertMultiple(xcb_window_t requestor, xcb_atom_t property);
    void send(xcb_window_t requestor, xcb_atom_t property, xcb_atom_t type, const QByteArray &data);
    void continueTransfer(const xcb_property_notify_event_t *notify);
    void managerAnswered(const xcb_selection_notify_event_t *notify);
    void dropIdleTransfers();

    X11OwnConnection x_;
    xcb_atom_t clipboard_ = XCB_NONE;
    xcb_atom_t manager_ = XCB_NONE;
    xcb_atom_t targetsTarget_ = XCB_NONE;
    xcb_atom_t multipleTarget_ = XCB_NONE;
    xcb_atom_t timestampTarget_ = XCB_NONE;
    xcb_atom_t incr_ = XCB_NONE;
    xcb_atom_t atomPair_ = XCB_NONE;
    xcb_timestamp_t since_ = XCB_CURRENT_TIME;
    bool owner_ = false;
    uint32_t chunk_ = 0;
    QList<xcb_atom_t> targets_;
    QHash<xcb_atom_t, QByteArray> formats_;
    QList<Transfer> transfers_;
    std::optional<QDeadlineTimer> managerDeadline_;
};

} // namespace vima
