#pragma once

#include "platform/PasteboardSnapshot.h"
#include "platform/RunningApplication.h"
#include "platform/SelectionRead.h"
#include "platform/x11/X11OwnConnection.h"

#include <QByteArray>
#include <QDeadlineTimer>
#include <QString>
#include <atomic>
#include <optional>
#include <xcb/xcb.h>

namespace vima {

// Reads an X selection (PRIMARY, CLIPBOARD) over a connection of its own, so
// that a slow owner never stalls Qt's connection: every wait is bounded by a
// deadline, and everything kept by a ceiling. One reader serves one thread.
class X11SelectionReader {
public:
    // Once `abort` is set, the wait under way ends within a few milliseconds
    // as if the owner had not answered.
    explicit X11SelectionReader(const std::atomic_bool *abort = nullptr);
    X11SelectionReader(const X11SelectionReader &) = delete;
    X11SelectionReader &operator=(const X11SelectionReader &) = delete;

    bool isConnected() const { return x_.isConnected(); }

    // The formats that describe a selection rather than hold it.
    static bool isProtocolTarget(const QByteArray &name);

    // The process of the selection's owner; nothing when it has none or the
    // server cannot tell.
    std::optional<qint64> ownerProcess(const char *selection);
    // Whether the application holds the selection (see x11::ownedBy).
    std::optional<bool> isOwnedBy(const char *selection, const RunningApplication &app);
    // The selection as plain text (UTF-8 first), of at most `ceiling` bytes.
    SelectionRead<QString> text(const char *selection, QDeadlineTimer deadline, qint64 ceiling);
    // Every format but the protocol's own, as (target name, data), of at most
    // `ceiling` bytes together. Empty when nobody owns the selection.
    SelectionRead<PasteboardSnapshot> snapshot(const char *selection, QDeadlineTimer deadline, qint64 ceiling);

private:
    using Bytes = SelectionRead<QByteArray>;

    QByteArray atomName(xcb_atom_t atom);
    Bytes convert(xcb_atom_t selection, xcb_atom_t target, QDeadlineTimer deadline, qint64 ceiling);
    Bytes takeProperty(qint64 ceiling, xcb_atom_t &type);
    Bytes readIncrementally(QDeadlineTimer deadline, qint64 ceiling);
    xcb_generic_event_t *waitFor(uint8_t type, QDeadlineTimer deadline);

    const std::atomic_bool *abort_;
    X11OwnConnection x_;
    xcb_atom_t property_ = XCB_NONE;
    xcb_atom_t incr_ = XCB_NONE;
};

} // namespace vima
