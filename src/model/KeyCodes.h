#pragma once

#include <Qt>
#include <QtGlobal>
#include <array>

// The configuration's encoding of keys, in memory and in the file: key codes
// name physical keys by their place on an ANSI keyboard, and the modifier
// bits are the four the hotkey and the ring's keys use. Only src/platform/x11
// translates them to X keycodes and masks.
namespace vima {

namespace modifiers {
inline constexpr quint64 shift = 0x20000;
inline constexpr quint64 control = 0x40000;
inline constexpr quint64 option = 0x80000;   // Alt
inline constexpr quint64 command = 0x100000; // Super
inline constexpr quint64 mask = shift | control | option | command;

// The bits of the modifiers Qt reports held.
inline quint64 flagsOf(Qt::KeyboardModifiers held)
{
    quint64 flags = 0;
    if (held & Qt::ShiftModifier)
        flags |= shift;
    if (held & Qt::ControlModifier)
        flags |= control;
    if (held & Qt::AltModifier)
        flags |= option;
    if (held & Qt::MetaModifier)
        flags |= command;
    return flags;
}
} // namespace modifiers

namespace keys {
inline constexpr quint16 returnKey = 36;
inline constexpr quint16 tab = 48;
inline constexpr quint16 space = 49;
inline constexpr quint16 deleteKey = 51; // Backspace
inline constexpr quint16 escape = 53;
inline constexpr quint16 keypadEnter = 76;
inline constexpr quint16 f10 = 109;
inline constexpr quint16 home = 115;
inline constexpr quint16 pageUp = 116;
inline constexpr quint16 forwardDelete = 117;
inline constexpr quint16 end = 119;
inline constexpr quint16 pageDown = 121;
inline constexpr quint16 leftArrow = 123;
inline constexpr quint16 rightArrow = 124;
inline constexpr quint16 downArrow = 125;
inline constexpr quint16 upArrow = 126;

// F1 to F24 in order. F21 to F24, which the encoding's own keyboards lack,
// take codes past its range.
inline constexpr std::array<quint16, 24> functionKeys{122, 120, 99,  118, 96,  97,  98,  100,
                                                     101, 109, 103, 111, 105, 107, 113, 106,
                                                     64,  79,  80,  90,  256, 257, 258, 259};
} // namespace keys

} // namespace vima
