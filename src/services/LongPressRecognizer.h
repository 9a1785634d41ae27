#pragma once

#include <QPointF>
#include <variant>

namespace vima {

// Where the current right-button press stands on its way to a long press.
struct LongPressRecognizer {
    // The button went down at `origin` (global coordinates) at `downTime`
    // (seconds on the scheduler's clock).
    struct Waiting {
        QPointF origin;
        double downTime = 0;

        bool operator==(const Waiting &) const = default;
    };
    struct Idle {
        bool operator==(const Idle &) const = default;
    };
    // Recognised and the ring summoned; the button is still down.
    struct Recognized {
        bool operator==(const Recognized &) const = default;
    };
    using Phase = std::variant<Waiting, Idle, Recognized>;

    double holdDelay = 0.25; // seconds
    double moveSlop = 6.0;   // how far the pointer may wander from the press point
    Phase phase = Idle{};

    bool operator==(const LongPressRecognizer &) const = default;
};

} // namespace vima
