#pragma once

#include "platform/HotKeyProbe.h"

#include <QString>
#include <optional>

namespace vima {

// Whether a key combination is taken, and why, in a sentence for the user.
// On X11 the only thing that stops a hotkey is a grab another program holds:
// the X server then gives it that program, never us. Asked afresh each time,
// since programs take and drop their grabs as they run.
class SystemShortcuts {
public:
    struct Reservation {
        quint32 keyCode = 0;
        quint64 flags = 0; // masked with HotkeySpec::modifierMask
        QString name;

        bool operator==(const Reservation &) const = default;
    };

    explicit SystemShortcuts(const HotKeyProbe &probe);

    std::optional<Reservation> reservation(quint32 keyCode, quint64 flags) const;

private:
    const HotKeyProbe &probe_;
};

} // namespace vima
