#include "ring/RingSliceShape.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace vima {

namespace {

constexpr double turn = 2 * std::numbers::pi;

int count(const RingGeometry &geometry) { return std::max(geometry.slotCount, 1); }

// The slot's middle, in Qt's degrees (counter-clockwise from 3 o'clock) on a
// y-down screen: slot 0 straight up, then clockwise.
double middleDegrees(const RingSliceShape &shape)
{
    return 90.0 - 360.0 * shape.slot / count(shape.geometry);
}

// Half the angle a slice spans at `radius` once the gap is taken off.
double halfSpanDegrees(const RingSliceShape &shape, double radius)
{
    const double half = 180.0 / count(shape.geometry);
    if (count(shape.geometry) == 1)
        return half;
    const double inset = std::asin(std::min(shape.padding / 2 / radius, 1.0)) * 180 / std::numbers::pi;
    return std::max(half - inset, 0.0);
}

} // namespace

bool RingSliceShape::contains(QPointF point) const
{
    const double dx = point.x() - geometry.center.x();
    const double dy = point.y() - geometry.center.y();
    const double radius = std::hypot(dx, dy);
    if (radius < geometry.innerRadius || radius > geometry.outerRadius || radius == 0)
        return false;
    if (count(geometry) == 1)
        return true;
    // The angle from the slot's middle, clockwise on screen.
    const double fromTop = std::atan2(dy, dx) + std::numbers::pi / 2;
    double offset = std::remainder(fromTop - turn * slot / count(geometry), turn);
    const double half = std::numbers::pi / count(geometry);
    const double toEdge = half - std::abs(offset);
    if (toEdge < 0)
        return false;
    // Distance to the nearer boundary ray; past a right angle the centre is nearest.
    const double clearance = toEdge >= std::numbers::pi / 2 ? radius : radius * std::sin(toEdge);
    return clearance >= padding / 2;
}

QPainterPath RingSliceShape::path() const
{
    const QPointF c = geometry.center;
    const double outer = geometry.outerRadius;
    const double inner = geometry.innerRadius;
    const QRectF outerBox(c.x() - outer, c.y() - outer, 2 * outer, 2 * outer);
    const QRectF innerBox(c.x() - inner, c.y() - inner, 2 * inner, 2 * inner);
    const double middle = middleDegrees(*this);
    QPainterPath path;
    if (count(geometry) == 1) {
        path.addEllipse(outerBox);
        if (inner > 0)
            path.addEllipse(innerBox);
        return path;
    }
    const double outerHalf = halfSpanDegrees(*this, outer);
    path.arcMoveTo(outerBox, middle + outerHalf);
    path.arcTo(outerBox, middle + outerHalf, -2 * outerHalf);
    if (inner > 0) {
        const double innerHalf = halfSpanDegrees(*this, inner);
        path.arcTo(innerBox, middle - innerHalf, 2 * innerHalf);
    } else {
        path.lineTo(c);
    }
    path.closeSubpath();
    return path;
}

} // namespace vima
