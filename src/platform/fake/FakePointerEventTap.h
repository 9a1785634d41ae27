#pragma once

#include "platform/PointerEventTap.h"

namespace vima {

// Right-button events sent by the test; remembers what was withheld.
class FakePointerEventTap final : public PointerEventTap {
public:
    bool install(Callback callback) override;
    void remove() override;
    std::optional<QPointF> pointerLocation() const override { return pointer; }

    // Sends one event through the installed callback, moving the pointer there;
    // true when the callback withheld it. Without a callback the event passes.
    bool send(EventType type, QPointF location);

    bool isInstalled() const { return static_cast<bool>(callback_); }
    bool refuse = false;
    int installCalls = 0;
    std::optional<QPointF> pointer;

private:
    Callback callback_;
};

} // namespace vima
