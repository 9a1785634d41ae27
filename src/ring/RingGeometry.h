#pragma once

#include <QPointF>
#include <optional>

namespace vima {

// Where the slots of a ring lie: slot 0 is centred straight up and the slots
// run clockwise on screen (y grows downwards).
struct RingGeometry {
    int slotCount = 1; // at least 1
    double innerRadius = 0;
    double outerRadius = 0;
    QPointF center;

    // The slot whose angular sector holds `point`, anywhere from the inner
    // radius to `slack` points beyond the outer radius (both edges inclusive).
    std::optional<int> slot(QPointF point, double slack) const;

    bool operator==(const RingGeometry &) const = default;
};

} // namespace vima
