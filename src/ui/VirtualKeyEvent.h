#pragma once

#include <QString>
#include <Qt>
#include <optional>

class QKeyEvent;

namespace vima {

// A key press in the configuration's encoding: a virtual key code (49 is
// Space), the characters ignoring modifiers, and the modifier bits Shift
// 0x20000, Control 0x40000, Option (Alt) 0x80000, Command (Super) 0x100000.
struct VirtualKeyEvent {
    quint16 keyCode = 0;
    std::optional<QString> characters;
    quint64 modifierFlags = 0;

    // None for a key that has no virtual key code (a bare modifier, a media key).
    static std::optional<VirtualKeyEvent> from(const QKeyEvent &event);
    static std::optional<quint16> keyCodeOf(int qtKey, Qt::KeyboardModifiers modifiers);

    bool operator==(const VirtualKeyEvent &) const = default;
};

} // namespace vima
