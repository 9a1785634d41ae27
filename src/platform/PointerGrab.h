#pragma once

#include <QtGlobal>
#include <functional>

namespace vima {

// Takes the pointer for one of our windows while the ring is open, so that a
// click beside a panel smaller than the screen reaches the ring instead of
// the application below.
class PointerGrab {
public:
    virtual ~PointerGrab() = default;

    // Grabs for the native window `windowId` once it is mapped and no button
    // is held (a held button belongs to the trigger that opened the ring).
    virtual void grab(quintptr windowId) = 0;
    virtual void release() = 0;
    virtual bool isGrabbed() const = 0;

    // A press of the primary button outside the window, while grabbed.
    std::function<void()> onOutsideClick;
};

} // namespace vima
