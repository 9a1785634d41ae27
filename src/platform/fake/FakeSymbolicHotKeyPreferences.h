#pragma once

#include "platform/SymbolicHotKeyPreferences.h"

namespace vima {

class FakeSymbolicHotKeyPreferences final : public SymbolicHotKeyPreferences {
public:
    std::optional<QVariantMap> symbolicHotKeys() const override
    {
        ++reads;
        return hotKeys;
    }

    std::optional<QVariantMap> hotKeys;
    mutable int reads = 0;
};

} // namespace vima
