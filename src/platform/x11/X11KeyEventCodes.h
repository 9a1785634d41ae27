#pragma once

#include "platform/KeyEventCodes.h"

namespace vima {

// On X11 a key event's native scan code is the X keycode.
class X11KeyEventCodes final : public KeyEventCodes {
public:
    std::optional<quint32> keyCode(const QKeyEvent &event) const override;
};

} // namespace vima
