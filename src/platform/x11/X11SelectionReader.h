#pragma once

#include "platform/PasteboardSnapshot.h"
#include "platform/RunningApplication.h"

#include <QByteArray>
#include <QDeadlineTimer>
#include <QString>
#include <optional>
#include <xcb/xcb.h>

namespace vima {

// Reads an X selection (PRIMARY, CLIPBOARD) over a connection of its own, so
// that a slow owner never stalls Qt's connection, and every wait is bounded.
// One reader serves one thread.
class X11SelectionReader {
public:
    X11SelectionReader();
    ~X11SelectionReader();
    X11SelectionReader(const X11SelectionReader &) = delete;
    X11SelectionReader &operator=(const X11SelectionReader &) = delete;

    bool isConnected() const { return window_ != XCB_NONE; }

    // The process of the selection's owner; nothing when it has none or the
    // server cannot tell.
    std::optional<qint64> ownerProcess(const char *selection);
    // Whether the application holds the selection (see x11::ownedBy).
    std::optional<bool> isOwnedBy(const char *selection, const RunningApplication &app);
    // The selection as plain text (UTF-8 first); nothing when the owner has no
    // text or did not answer in time.
    std::optional<QString> text(const char *selection, QDeadlineTimer deadline);
    // Every format but the protocol's own, as (target name, data). Empty when
    // nobody owns the selection; nothing when the owner did not answer in time.
    std::optional<PasteboardSnapshot> snapshot(const char *selection, QDeadlineTimer deadline);

private:
    xcb_atom_t atom(const char *name);
    QString atomName(xcb_atom_t atom);
    xcb_window_t owner(xcb_atom_t selection);
    std::optional<QByteArray> convert(xcb_atom_t selection, xcb_atom_t target, QDeadlineTimer deadline);
    std::optional<QByteArray> readIncrementally(QDeadlineTimer deadline);
    xcb_generic_event_t *waitFor(uint8_t type, QDeadlineTimer deadline);

    xcb_connection_t *connection_ = nullptr;
    xcb_window_t window_ = XCB_NONE;
    xcb_atom_t property_ = XCB_NONE;
};

} // namespace vima
