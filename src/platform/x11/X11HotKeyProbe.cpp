#include "platform/x11/X11HotKeyProbe.h"

#include "platform/x11/X11HotKeyRegistrar.h"

namespace vima {

X11HotKeyProbe::X11HotKeyProbe(const X11HotKeyRegistrar &registrar)
    : registrar_(registrar)
{
}

bool X11HotKeyProbe::isHeldElsewhere(quint32 keyCode, quint64 modifierFlags) const
{
    return registrar_.isHeldElsewhere(keyCode, modifierFlags);
}

} // namespace vima
