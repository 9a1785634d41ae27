#include "ring/RingGeometry.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace vima {

std::optional<int> RingGeometry::slot(QPointF point, double slack) const
{
    const double dx = point.x() - center.x();
    const double dy = point.y() - center.y();
    const double distance = std::sqrt(dx * dx + dy * dy);
    if (distance < innerRadius || distance > outerRadius + slack)
        return std::nullopt;

    constexpr double turn = 2 * std::numbers::pi;
    const int count = std::max(slotCount, 1);
    const double sector = turn / count;
    const double fromTop = std::atan2(dy, dx) + std::numbers::pi / 2;
    double shifted = std::fmod(fromTop + sector / 2, turn);
    if (shifted < 0)
        shifted += turn;
    return std::clamp(static_cast<int>(shifted / sector), 0, count - 1);
}

} // namespace vima
