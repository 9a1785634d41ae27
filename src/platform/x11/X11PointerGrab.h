#pragma once

#include "platform/PointerGrab.h"

#include <QAbstractNativeEventFilter>
#include <QTimer>

namespace vima {

// An active pointer grab with owner events: our windows get their events as
// usual, and a press anywhere else is reported to the grab window, where it
// is taken as a click outside. It waits until the window is viewable and no
// button is down, so the right button of a long right-click keeps its own
// grab until it is let go.
class X11PointerGrab final : public PointerGrab, public QAbstractNativeEventFilter {
public:
    X11PointerGrab();
    ~X11PointerGrab() override;

    void grab(quintptr windowId) override;
    void release() override;
    bool isGrabbed() const override { return grabbed_; }

    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *result) override;

private:
    void retry();
    bool isOutside(quint32 window, int x, int y) const;

    QTimer retryTimer_;
    quint32 window_ = 0;
    bool grabbed_ = false;
};

} // namespace vima
