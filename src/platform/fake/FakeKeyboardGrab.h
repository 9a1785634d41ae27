#pragma once

#include "platform/KeyboardGrab.h"

namespace vima {

class FakeKeyboardGrab final : public KeyboardGrab {
public:
    void grab(quintptr windowId) override
    {
        grabbed_ = true;
        window = windowId;
        ++grabs;
    }
    void release() override { grabbed_ = false; }
    bool isGrabbed() const override { return grabbed_; }

    quintptr window = 0;
    int grabs = 0;

private:
    bool grabbed_ = false;
};

} // namespace vima
