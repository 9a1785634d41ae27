#pragma once

#include <QtGlobal>

namespace vima {

// Takes all keyboard input for one of our windows while the ring is open, so
// that keys reach the ring although it never becomes the active window.
class KeyboardGrab {
public:
    virtual ~KeyboardGrab() = default;

    // Grabs for the native window `windowId` (retrying until it is mapped).
    virtual void grab(quintptr windowId) = 0;
    virtual void release() = 0;
    virtual bool isGrabbed() const = 0;
};

} // namespace vima
