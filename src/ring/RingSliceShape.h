#pragma once

#include "ring/RingGeometry.h"

#include <QPainterPath>
#include <QPointF>

namespace vima {

// One slot's annular slice: the sector of `geometry` that RingGeometry::slot
// gives the slot, from the inner to the outer radius, with `padding` points of
// clear space between it and each neighbouring slice (half on either side of
// the boundary). A ring of one slot is the whole annulus.
struct RingSliceShape {
    int slot = 0;
    RingGeometry geometry;
    double padding = 0;

    bool contains(QPointF point) const;
    QPainterPath path() const;
};

} // namespace vima
