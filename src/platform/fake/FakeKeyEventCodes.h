#pragma once

#include "platform/KeyEventCodes.h"

namespace vima {

// Key codes from the Qt key, as a US layout places it (events made without a
// window system carry no scan code), and flags from the Qt modifiers.
class FakeKeyEventCodes final : public KeyEventCodes {
public:
    std::optional<quint32> keyCode(const QKeyEvent &event) const override;
    quint64 modifierFlags(const QKeyEvent &event) const override;
};

} // namespace vima
