#pragma once

#include <QPainter>
#include <cmath>

namespace vima {

// Moves `point` so that it lands on a whole device pixel when the painter
// only translates: images drawn there are copied straight (crisp and fast)
// rather than resampled.
inline QPointF snappedToPixels(const QPainter &painter, QPointF point)
{
    // The device transform also holds the pixel ratio: only the painter's own must be a translation.
    if (painter.worldTransform().type() > QTransform::TxTranslate)
        return point;
    const QTransform &transform = painter.deviceTransform();
    const QPointF device = transform.map(point);
    const QPointF rounded(std::round(device.x()), std::round(device.y()));
    return transform.inverted().map(rounded);
}

} // namespace vima
