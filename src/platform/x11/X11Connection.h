#pragma once

#include <QByteArray>
#include <QPointF>
#include <QString>
#include <QStringList>
#include <optional>
#include <xcb/xcb.h>

namespace vima::x11 {

// Qt's own connection to the X server; null when the application does not run
// on X11. Everything here runs on the GUI thread.
xcb_connection_t *connection();
xcb_window_t rootWindow();
xcb_atom_t atom(const char *name);
// A point in the root window's pixels in Qt's global coordinates, by the
// screen that holds it. Every point from X goes through here.
QPointF toLogical(QPoint native);

// Adds `mask` to a window's event mask without dropping what Qt or anyone
// else in this process selected there.
void addEventMask(xcb_window_t window, uint32_t mask);
// Adds XInput 2 event bits (XCB_INPUT_XI_EVENT_MASK_*) to this process's
// selection on the root window for all master devices, keeping what is there.
// The extension's major opcode, or none without XInput 2.
std::optional<uint8_t> selectRootXInputEvents(uint32_t mask);

// A property's raw bytes; empty when the window lacks it.
QByteArray property(xcb_window_t window, xcb_atom_t property, xcb_atom_t type);
std::optional<uint32_t> cardinalProperty(xcb_window_t window, xcb_atom_t property, xcb_atom_t type);
// The null-separated strings of a text property (WM_CLASS: instance, class).
QStringList stringsProperty(xcb_window_t window, xcb_atom_t property, xcb_atom_t type);

} // namespace vima::x11
