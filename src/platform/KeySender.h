#pragma once

#include "model/KeyChord.h"

#include <QCoroTask>

namespace vima {

// Synthetic shortcuts sent to the application that has the keyboard focus.
class KeySender {
public:
    enum class Shortcut { copy, paste };

    virtual ~KeySender() = default;

    // False when the events could not be made or sent.
    virtual QCoro::Task<bool> send(Shortcut shortcut) = 0;
    // Any chord, as a keystroke slot sends it; false also when no key of the
    // keyboard types its character.
    virtual QCoro::Task<bool> sendChord(KeyChord chord) = 0;
};

} // namespace vima
