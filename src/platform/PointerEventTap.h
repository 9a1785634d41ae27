#pragma once

#include <QPointF>
#include <functional>
#include <optional>

namespace vima {

// Right-button events of every application, seen before the application under
// the pointer gets them. Locations are global, top-left origin, in the same
// units as QScreen geometry.
class PointerEventTap {
public:
    enum class EventType { rightMouseDown, rightMouseUp, rightMouseDragged };
    // Answers true to withhold the event from the application under the pointer.
    using Callback = std::function<bool(EventType type, QPointF location)>;

    virtual ~PointerEventTap() = default;

    // Starts calling `callback` on the main thread; false when the system refuses.
    virtual bool install(Callback callback) = 0;
    virtual void remove() = 0;

    // Where the pointer is now; none when it cannot be read.
    virtual std::optional<QPointF> pointerLocation() const = 0;
};

} // namespace vima
