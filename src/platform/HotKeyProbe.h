#pragma once

#include <QtGlobal>

namespace vima {

// Whether another program already holds a key combination, so that a hot key
// registered with it could never fire. Key codes and modifier flags are in the
// configuration's encoding.
class HotKeyProbe {
public:
    virtual ~HotKeyProbe() = default;

    // A combination we registered ourselves is not held elsewhere.
    virtual bool isHeldElsewhere(quint32 keyCode, quint64 modifierFlags) const = 0;
};

} // namespace vima
