#pragma once

#include <QString>
#include <QtGlobal>
#include <variant>

namespace vima {

// One key pressed with modifiers held, as a keystroke slot sends it. The key
// is the character it types ("t") or, for keys that type none (Home, Return,
// F10), its key code; both and the modifier bits are in the configuration's
// encoding (KeyCodes.h).
struct KeyChord {
    std::variant<QString, quint32> key;
    quint64 modifierFlags = 0;

    bool operator==(const KeyChord &) const = default;
};

} // namespace vima
