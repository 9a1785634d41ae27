#pragma once

#include <QtGlobal>
#include <optional>

class QKeyEvent;

namespace vima {

// A key event delivered to one of our windows in the configuration's terms:
// the key code (Space = 49) of the physical key, whatever the layout types on
// it, and the modifier flags (Shift 0x20000, Control 0x40000, Option 0x80000,
// Command 0x100000).
class KeyEventCodes {
public:
    virtual ~KeyEventCodes() = default;

    // None for a key that has no key code.
    virtual std::optional<quint32> keyCode(const QKeyEvent &event) const = 0;
    // The modifiers held once the event has happened: a modifier key's own
    // press or release counts. Locks never do.
    virtual quint64 modifierFlags(const QKeyEvent &event) const = 0;
};

} // namespace vima
