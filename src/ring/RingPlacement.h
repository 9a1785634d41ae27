#pragma once

#include <QPointF>
#include <QSizeF>

namespace vima {

// Where the ring's centre goes on a screen so that the whole ring fits.
namespace RingPlacement {

constexpr double edgeAllowance = 46; // room for captions beyond the outer radius
constexpr double nestedWidening = 64; // each nested level widens the ring

// The margin kept from every edge at stack depth `depth` (1 = the root).
double margin(double outerRadius, double sizeScale, qsizetype depth);
// The summon point clamped `margin` inside the screen; the middle of the
// screen when the screen is too small for that.
QPointF centre(QPointF summonPoint, QSizeF screenSize, double margin);

} // namespace RingPlacement
} // namespace vima
