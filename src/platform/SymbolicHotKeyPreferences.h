#pragma once

#include <QVariantMap>
#include <optional>

namespace vima {

// The user's own system keyboard shortcuts, as a dictionary keyed by the
// symbolic-hotkey number (as text). Each value is a dictionary that may hold
// "enabled" and "value" → "parameters" (character, key code, modifier word).
class SymbolicHotKeyPreferences {
public:
    virtual ~SymbolicHotKeyPreferences() = default;

    // None when the system keeps no such preferences.
    virtual std::optional<QVariantMap> symbolicHotKeys() const = 0;
};

} // namespace vima
