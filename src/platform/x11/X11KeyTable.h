#pragma once

#include <QtGlobal>
#include <optional>
#include <xcb/xproto.h>

namespace vima::x11 {

// The configuration's key codes name physical keys (positions on an ANSI
// keyboard); X keycodes do too (evdev code + 8), so the translation does not
// depend on the layout. None for a key a PC keyboard does not have.
std::optional<xcb_keycode_t> keycode(quint32 keyCode);

// Shift, Control, Option (Alt, Mod1) and Command (Super, Mod4); other bits are dropped.
uint16_t modifierMask(quint64 modifierFlags);

} // namespace vima::x11
