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

    // Taken, and answered, as the hotkey's press arrives, before any handler
    // has run: every key typed after it comes to us, however soon. Ended by
    // `endHold` once the handlers have run, unless the ring took the keyboard.
    void hold();
    void endHold();
    // Whether keys now come to us, addressed to the root window (a hold, or a
    // grab not yet moved to its window) or to the window.
    bool holdsKeyboard() const { return holding_ || grabbed_; }

private:
    bool grabOn(quint32 window);
    void retry();

    QTimer retryTimer_;
    quint32 window_ = 0;
    int attempts_ = 0;
    bool grabbed_ = false;
    bool holding_ = false;
};

} // namespace vima
