#pragma once

#include "model/Settings.h"
#include "ring/RingGeometry.h"

#include <QPointF>
#include <QRectF>
#include <QSizeF>

namespace vima {

// Where the ring view puts things, in the view's own coordinates.
struct RingLayout {
    static constexpr double discDiameter = 62;
    static constexpr double hitPadding = 12; // a tile's hit circle is this much wider
    static constexpr double activeScale = 1.09;
    static constexpr double labelHeight = 30;
    static constexpr double labelPadding = 13;
    static constexpr double dimmingReach = 1.85;
    static constexpr double pageRowDrop = 28;
    static constexpr double breadcrumbLift = 26;

    RingGeometry geometry;   // this level's
    RingGeometry firstLevel; // the same ring without the widening of nested levels
    double tileSize = 0;     // T
    QSizeF viewSize;

    static RingLayout make(const RingGeometry &geometry, const Appearance &appearance, QSizeF viewSize);

    // T: the configured outer radius × 0.377, within 40 … 76 points.
    static double tileSizeFor(const Appearance &appearance);
    // T made small enough that neighbouring tiles of a crowded ring (14 or
    // more slots at the default radius) do not cover each other's icons.
    static double fittedTileSize(const RingGeometry &geometry, double tileSize);
    // R: tiles end 4 points beyond the outer radius, unless the band between
    // the radii is too narrow for them.
    static double tileRadius(const RingGeometry &geometry, double tileSize);

    double tileRadius() const { return tileRadius(geometry, tileSize); }
    double slotAngle(int slot) const;
    QPointF tileCentre(int slot, double radius) const;
    QPointF tileCentre(int slot) const { return tileCentre(slot, tileRadius()); }
    double parentTraceDiameter() const { return 2 * tileRadius(firstLevel, tileSize); }
    double dimmingRadius() const { return geometry.outerRadius * dimmingReach; }
    QPointF pageRowCentre() const;
    QPointF breadcrumbCentre() const;
    // The hover label, `width` wide, beside the tile centred on `tile` whose
    // slot lies at `angle`: right of it unless the slot points left. Always
    // inside the view: on the other side where only that one has room, and
    // narrower than `width` where neither has.
    QRectF hoverLabelRect(double angle, QPointF tile, double width, double labelGap) const;
};

} // namespace vima
