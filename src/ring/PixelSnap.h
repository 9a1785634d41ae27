#pragma once

#include <QPainter>
#include <cmath>

namespace vima {

// Moves `point` so that it lands on a whole device pixel when the painter
// only translates: images drawn there are copied straight (crisp and fast)
// rather than resampled.
inline QPointF snappedToPixels(const QPainter &painter, QPointF point)
{
    const QTransform &transform = painter.deviceTransform();
    if (transform.type() > QTransform::TxTranslate)
        return point;
    const QPointF device = transform.map(point);
    const QPointF rounded(std::round(device.x()), std::round(device.y()));
    return transform.inverted().map(rounded);
}

} // namespace vima
