#include "ring/RingPlacement.h"

#include <algorithm>
#include <cmath>

namespace vima::RingPlacement {

double margin(double outerRadius, double sizeScale, qsizetype depth)
{
    const double ring = outerRadius * sizeScale;
    const double widening = static_cast<double>(std::max<qsizetype>(depth - 1, 0)) * nestedWidening;
    return widening + (std::isfinite(ring) ? ring : 0) + edgeAllowance;
}

QPointF centre(QPointF summonPoint, QSizeF screenSize, double margin)
{
    const double w = screenSize.width(), h = screenSize.height();
    if (!(2 * margin < w && 2 * margin < h))
        return {w / 2, h / 2};
    return {std::clamp(summonPoint.x(), margin, w - margin), std::clamp(summonPoint.y(), margin, h - margin)};
}

} // namespace vima::RingPlacement
