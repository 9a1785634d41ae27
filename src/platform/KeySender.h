#pragma once

#include "model/KeyChord.h"
#include "platform/RunningApplication.h"

#include <QCoroTask>
#include <optional>

namespace vima {

// Synthetic shortcuts sent to the application that has the keyboard focus.
class KeySender {
public:
    enum class Shortcut { copy, paste };

    // How a window takes the copy and paste shortcuts.
    enum class Keys {
        // Ctrl+C and Ctrl+V.
        editor,
        // Ctrl+Shift+C and Ctrl+Shift+V: there Ctrl+C interrupts the job.
        terminal,
        // Nothing: Ctrl+C or Ctrl+V means something else there (xterm hands
        // its job ^C, Emacs waits for the rest of a C-c command, Vim leaves
        // Visual mode), or there is no such key (Xaw's xedit).
        none,
    };

    // Where keys sent now would go, as far as the target is concerned.
    enum class Focus { inTarget, elsewhere, targetClosed };

    virtual ~KeySender() = default;

    // False when the events could not be made or sent, and in a window whose
    // keys are `none`.
    virtual QCoro::Task<bool> send(Shortcut shortcut) = 0;
    // Any chord, as a keystroke slot sends it; false also when no key of the
    // keyboard types its character.
    virtual QCoro::Task<bool> sendChord(KeyChord chord) = 0;

    // The target's window, or without one the active window.
    virtual Keys keysOf(const std::optional<RunningApplication> &target) const = 0;
    // Whether the target's window still exists and holds the input focus.
    virtual Focus focusOf(const RunningApplication &target) const = 0;
};

} // namespace vima
