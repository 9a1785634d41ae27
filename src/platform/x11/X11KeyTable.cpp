#include "platform/x11/X11KeyTable.h"

#include "model/Settings.h"

#include <QHash>

namespace vima::x11 {

namespace {

constexpr xcb_keycode_t evdevOffset = 8;

// Virtual key code → evdev code of the key at the same place.
const QHash<quint32, quint16> &evdevCodes()
{
    static const QHash<quint32, quint16> table{
        // Letters
        {0, 30}, {11, 48}, {8, 46}, {2, 32}, {14, 18}, {3, 33}, {5, 34}, {4, 35}, {34, 23},
        {38, 36}, {40, 37}, {37, 38}, {46, 50}, {45, 49}, {31, 24}, {35, 25}, {12, 16}, {15, 19},
        {1, 31}, {17, 20}, {32, 22}, {9, 47}, {13, 17}, {7, 45}, {16, 21}, {6, 44},
        // Digits
        {18, 2}, {19, 3}, {20, 4}, {21, 5}, {23, 6}, {22, 7}, {26, 8}, {28, 9}, {25, 10}, {29, 11},
        // Punctuation
        {27, 12}, {24, 13}, {33, 26}, {30, 27}, {41, 39}, {39, 40}, {50, 41}, {42, 43}, {43, 51},
        {47, 52}, {44, 53}, {10, 86},
        // Editing and navigation
        {36, 28}, {48, 15}, {49, 57}, {51, 14}, {53, 1}, {117, 111}, {114, 110}, {115, 102},
        {119, 107}, {116, 104}, {121, 109}, {123, 105}, {124, 106}, {125, 108}, {126, 103},
        // Modifiers
        {55, 125}, {54, 126}, {56, 42}, {60, 54}, {57, 58}, {58, 56}, {61, 100}, {59, 29}, {62, 97},
        // Function keys
        {122, 59}, {120, 60}, {99, 61}, {118, 62}, {96, 63}, {97, 64}, {98, 65}, {100, 66},
        {101, 67}, {109, 68}, {103, 87}, {111, 88}, {105, 183}, {107, 184}, {113, 185}, {106, 186},
        {64, 187}, {79, 188}, {80, 189}, {90, 190}, {256, 191}, {257, 192}, {258, 193}, {259, 194},
        // Keypad
        {82, 82}, {83, 79}, {84, 80}, {85, 81}, {86, 75}, {87, 76}, {88, 77}, {89, 71}, {91, 72},
        {92, 73}, {65, 83}, {67, 55}, {69, 78}, {75, 98}, {76, 96}, {78, 74}, {81, 117}, {71, 69},
        // Media
        {72, 115}, {73, 114}, {74, 113},
        // Japanese keyboards
        {93, 124}, {94, 89}, {95, 95}, {102, 123}, {104, 122},
    };
    return table;
}

const QHash<quint16, quint32> &keyCodes()
{
    static const QHash<quint16, quint32> table = [] {
        QHash<quint16, quint32> inverse;
        for (auto it = evdevCodes().constBegin(); it != evdevCodes().constEnd(); ++it)
            inverse.insert(it.value(), it.key());
        return inverse;
    }();
    return table;
}

} // namespace

std::optional<xcb_keycode_t> keycode(quint32 keyCode)
{
    const auto found = evdevCodes().constFind(keyCode);
    if (found == evdevCodes().constEnd())
        return std::nullopt;
    return static_cast<xcb_keycode_t>(*found + evdevOffset);
}

std::optional<quint32> keyCode(xcb_keycode_t keycode)
{
    if (keycode < evdevOffset)
        return std::nullopt;
    const auto found = keyCodes().constFind(static_cast<quint16>(keycode - evdevOffset));
    if (found == keyCodes().constEnd())
        return std::nullopt;
    return *found;
}

uint16_t modifierMask(quint64 modifierFlags)
{
    uint16_t mask = 0;
    if (modifierFlags & HotkeySpec::shift)
        mask |= XCB_MOD_MASK_SHIFT;
    if (modifierFlags & HotkeySpec::control)
        mask |= XCB_MOD_MASK_CONTROL;
    if (modifierFlags & HotkeySpec::option)
        mask |= XCB_MOD_MASK_1;
    if (modifierFlags & HotkeySpec::command)
        mask |= XCB_MOD_MASK_4;
    return mask;
}

quint64 modifierFlags(uint16_t modifierMask)
{
    quint64 flags = 0;
    if (modifierMask & XCB_MOD_MASK_SHIFT)
        flags |= HotkeySpec::shift;
    if (modifierMask & XCB_MOD_MASK_CONTROL)
        flags |= HotkeySpec::control;
    if (modifierMask & XCB_MOD_MASK_1)
        flags |= HotkeySpec::option;
    if (modifierMask & XCB_MOD_MASK_4)
        flags |= HotkeySpec::command;
    return flags;
}

quint64 modifierKeyFlag(quint32 keyCode)
{
    switch (keyCode) {
    case 56: // Shift
    case 60:
        return HotkeySpec::shift;
    case 59: // Control
    case 62:
        return HotkeySpec::control;
    case 58: // Option
    case 61:
        return HotkeySpec::option;
    case 55: // Command
    case 54:
        return HotkeySpec::command;
    default:
        return 0;
    }
}

} // namespace vima::x11
