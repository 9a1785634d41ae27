#pragma once

#include "platform/PointerGrab.h"

namespace vima {

class FakePointerGrab final : public PointerGrab {
public:
    void grab(quintptr windowId) override
    {
        grabbed_ = true;
        window = windowId;
    }
    void release() override { grabbed_ = false; }
    bool isGrabbed() const override { return grabbed_; }

    // A click beside the window, as the grab reports it.
    void clickOutside()
    {
        if (grabbed_ && onOutsideClick)
            onOutsideClick();
    }

    quintptr window = 0;

private:
    bool grabbed_ = false;
};

} // namespace vima
