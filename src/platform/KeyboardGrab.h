#pragma once

#include <QString>
#include <QtGlobal>
#include <functional>
#include <optional>

namespace vima {

// Takes all keyboard input for one of our windows while the ring is open, so
// that keys reach the ring although it never becomes the active window.
class KeyboardGrab {
public:
    // A key press in the configuration's encoding (see VirtualKeyEvent).
    struct KeyPress {
        quint32 keyCode = 0;
        std::optional<QString> characters;
        quint64 modifierFlags = 0;
        bool operator==(const KeyPress &) const = default;
    };

    virtual ~KeyboardGrab() = default;

    // Grabs for the native window `windowId` (retrying until it is mapped).
    virtual void grab(quintptr windowId) = 0;
    virtual void release() = 0;
    virtual bool isGrabbed() const = 0;

    // A key pressed after the keyboard was taken but before the window had it,
    // which no window of ours receives. Reported after whatever the press that
    // took the keyboard (the hotkey) has set going.
    std::function<void(const KeyPress &)> onEarlyKey;
};

} // namespace vima
