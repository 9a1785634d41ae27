#pragma once

#include <QtGlobal>
#include <optional>
#include <xcb/xproto.h>

namespace vima::x11 {

// The configuration's key codes name physical keys (positions on an ANSI
// keyboard); X keycodes do too (evdev code + 8), so the translation does not
// depend on the layout. None for a key a PC keyboard does not have.
std::optional<xcb_keycode_t> keycode(quint32 keyCode);

// The other way: the configuration's key code of the key at an X keycode's
// place, whatever the layout types there; none for a key the table lacks.
std::optional<quint32> keyCode(xcb_keycode_t keycode);

// Shift, Control, Option (Alt, Mod1) and Command (Super, Mod4); other bits are dropped.
uint16_t modifierMask(quint64 modifierFlags);
// The other way; locks and the other modifiers are dropped.
quint64 modifierFlags(uint16_t modifierMask);
// The flag a modifier key (left or right) holds down; 0 for any other key.
quint64 modifierKeyFlag(quint32 keyCode);

} // namespace vima::x11
