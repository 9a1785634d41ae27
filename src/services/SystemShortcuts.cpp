#include "services/SystemShortcuts.h"

#include "model/Settings.h"
#include "services/HotkeyManager.h"

namespace vima {

SystemShortcuts::SystemShortcuts(const HotKeyProbe &probe) : probe_(probe) {}

std::optional<SystemShortcuts::Reservation> SystemShortcuts::reservation(quint32 keyCode, quint64 flags) const
{
    const quint64 masked = flags & HotkeySpec::modifierMask;
    if (!probe_.isHeldElsewhere(keyCode, masked))
        return std::nullopt;
    return Reservation{keyCode, masked,
                       QStringLiteral("Another program has grabbed ") + HotkeyManager::displayName(keyCode, masked)
                           + QStringLiteral(".")};
}

} // namespace vima
