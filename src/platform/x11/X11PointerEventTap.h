#pragma once

#include "platform/PointerEventTap.h"

#include <QAbstractNativeEventFilter>
#include <QPoint>
#include <xcb/xcb.h>

namespace vima {

// Right-button events through a passive grab of the button on the root window.
// A grab cannot pass an event on as it goes, so the tap holds each press and,
// when the callback lets the release through, replays the whole click (press
// where it began, release where it ended) to the application under the
// pointer with XTest. Such clicks arrive when the button goes up.
class X11PointerEventTap final : public PointerEventTap, public QAbstractNativeEventFilter {
public:
    X11PointerEventTap();
    ~X11PointerEventTap() override;

    bool install(Callback callback) override;
    void remove() override;
    std::optional<QPointF> pointerLocation() const override;

    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *result) override;

private:
    bool grabButton() const;
    void ungrabButton() const;
    void replay(QPoint release);
    void fakePointer(uint8_t type, uint8_t detail, QPoint at = {}) const;

    xcb_connection_t *connection_;
    xcb_window_t root_;
    Callback callback_;
    bool pressed_ = false;
    QPoint origin_;
};

} // namespace vima
