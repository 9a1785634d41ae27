#pragma once

#include "platform/KeyboardGrab.h"

#include <QTimer>

namespace vima {

// An active keyboard grab: on the root window at once (so no key slips past
// while the ring maps), then moved to the ring window once it is viewable, so
// that Qt delivers ordinary key events to it.
class X11KeyboardGrab final : public KeyboardGrab {
public:
    X11KeyboardGrab();

    void grab(quintptr windowId) override;
    void release() override;
    bool isGrabbed() const override { return grabbed_; }

private:
    bool grabOn(quint32 window);
    void retry();

    QTimer retryTimer_;
    quint32 window_ = 0;
    int attempts_ = 0;
    bool grabbed_ = false;
};

} // namespace vima
