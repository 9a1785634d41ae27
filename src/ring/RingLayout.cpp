#include "ring/RingLayout.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace vima {

RingLayout RingLayout::make(const RingGeometry &geometry, const Appearance &appearance, QSizeF viewSize)
{
    RingGeometry first = geometry;
    first.innerRadius = appearance.innerRadius * appearance.sizeScale;
    first.outerRadius = std::max(appearance.outerRadius * appearance.sizeScale, first.innerRadius + 1);
    return RingLayout{geometry, first, fittedTileSize(geometry, tileSizeFor(appearance)), viewSize};
}

double RingLayout::fittedTileSize(const RingGeometry &geometry, double tileSize)
{
    constexpr double gap = 4;
    constexpr double smallest = 24;
    if (geometry.slotCount < 2)
        return tileSize;
    const double halfSector = std::numbers::pi / geometry.slotCount;
    double fitted = tileSize;
    // A smaller tile moves the circle of tiles outwards, which leaves room again: a few rounds settle it.
    for (int round = 0; round < 4; ++round) {
        const double spacing = 2 * tileRadius(geometry, fitted) * std::sin(halfSector);
        fitted = std::clamp(spacing - gap, std::min(smallest, tileSize), tileSize);
    }
    return fitted;
}

double RingLayout::tileSizeFor(const Appearance &appearance)
{
    const double size = appearance.outerRadius * appearance.sizeScale * 0.377;
    return std::isfinite(size) ? std::clamp(size, 40.0, 76.0) : 40.0;
}

double RingLayout::tileRadius(const RingGeometry &geometry, double tileSize)
{
    return std::max((geometry.innerRadius + geometry.outerRadius) / 2, geometry.outerRadius - tileSize / 2 + 4);
}

double RingLayout::slotAngle(int slot) const
{
    return slot * 2 * std::numbers::pi / std::max(geometry.slotCount, 1) - std::numbers::pi / 2;
}

QPointF RingLayout::tileCentre(int slot, double radius) const
{
    const double angle = slotAngle(slot);
    return geometry.center + QPointF(radius * std::cos(angle), radius * std::sin(angle));
}

QPointF RingLayout::pageRowCentre() const
{
    return geometry.center + QPointF(0, geometry.outerRadius + pageRowDrop);
}

QPointF RingLayout::breadcrumbCentre() const
{
    return geometry.center - QPointF(0, geometry.outerRadius + breadcrumbLift);
}

QRectF RingLayout::hoverLabelRect(double angle, QPointF tile, double width, double labelGap) const
{
    const double viewWidth = std::max(viewSize.width(), 0.0);
    const double top = std::max(std::min(tile.y() - labelHeight / 2, viewSize.height() - labelHeight), 0.0);
    const double rightOfTile = std::clamp(tile.x() + tileSize / 2 + labelGap, 0.0, viewWidth);
    const double leftOfTile = std::clamp(tile.x() - tileSize / 2 - labelGap, 0.0, viewWidth);
    const double roomRight = viewWidth - rightOfTile;
    // Top and bottom slots have a cosine of zero only up to rounding: keep them right.
    const bool pointsRight = std::cos(angle) >= -0.01;
    const double room = pointsRight ? roomRight : leftOfTile;
    const double otherRoom = pointsRight ? leftOfTile : roomRight;
    // Where the view's edge would cut it, the label goes to the roomier side,
    // and is cut only when that side is too narrow as well.
    const bool hangsRight = pointsRight != (width > room && otherRoom > room);
    const double shown = std::min(width, hangsRight ? roomRight : leftOfTile);
    return QRectF(hangsRight ? rightOfTile : leftOfTile - shown, top, shown, labelHeight);
}

} // namespace vima
