#pragma once

#include "platform/HotKeyProbe.h"

namespace vima {

class X11HotKeyRegistrar;

// Asks the registrar, which knows our own grabs and grabs on the connection
// that holds them: a probe on another connection would find our hot key taken.
class X11HotKeyProbe final : public HotKeyProbe {
public:
    explicit X11HotKeyProbe(const X11HotKeyRegistrar &registrar);

    bool isHeldElsewhere(quint32 keyCode, quint64 modifierFlags) const override;

private:
    const X11HotKeyRegistrar &registrar_;
};

} // namespace vima
