#pragma once

#include "platform/KeyEventCodes.h"

namespace vima {

// On X11 a key event's native scan code is the X keycode, and its native
// modifiers the X state before the event.
class X11KeyEventCodes final : public KeyEventCodes {
public:
    std::optional<quint32> keyCode(const QKeyEvent &event) const override;
    quint64 modifierFlags(const QKeyEvent &event) const override;
};

} // namespace vima
