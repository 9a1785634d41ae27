#pragma once

#include "platform/SymbolicHotKeyPreferences.h"

namespace vima {

// Linux desktops keep no symbolic-hotkey dictionary: the built-in reservations
// apply as they are, and a grab another program holds is refused by the X server.
class NoSymbolicHotKeyPreferences final : public SymbolicHotKeyPreferences {
public:
    std::optional<QVariantMap> symbolicHotKeys() const override { return std::nullopt; }
};

} // namespace vima
