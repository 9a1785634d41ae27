#pragma once

#include "model/Settings.h"
#include "platform/HotKeyProbe.h"

#include <QList>

namespace vima {

// Combinations other programs hold, set by the test.
class FakeHotKeyProbe final : public HotKeyProbe {
public:
    bool isHeldElsewhere(quint32 keyCode, quint64 modifierFlags) const override
    {
        return heldElsewhere.contains(HotkeySpec{keyCode, modifierFlags & HotkeySpec::modifierMask});
    }

    QList<HotkeySpec> heldElsewhere;
};

} // namespace vima
