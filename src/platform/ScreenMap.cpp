#include "platform/ScreenMap.h"

#include <algorithm>
#include <limits>

namespace vima {

namespace {

qint64 distanceSquared(const QRect &rect, QPoint point)
{
    const qint64 dx = std::max({qint64(rect.left()) - point.x(), qint64(0), qint64(point.x()) - rect.right()});
    const qint64 dy = std::max({qint64(rect.top()) - point.y(), qint64(0), qint64(point.y()) - rect.bottom()});
    return dx * dx + dy * dy;
}

} // namespace

ScreenMap::ScreenMap(QList<Screen> screens) : screens_(std::move(screens)) {}

QPointF ScreenMap::toLogical(QPoint native) const
{
    const Screen *nearest = nullptr;
    qint64 nearestDistance = std::numeric_limits<qint64>::max();
    for (const Screen &screen : screens_) {
        const qint64 distance = distanceSquared(screen.native, native);
        if (distance < nearestDistance) {
            nearest = &screen;
            nearestDistance = distance;
        }
    }
    if (!nearest)
        return QPointF(native);
    const QRect &from = nearest->native;
    const QRect &to = nearest->logical;
    const QPoint inside(std::clamp(native.x(), from.left(), from.right()),
                        std::clamp(native.y(), from.top(), from.bottom()));
    const QPointF logical = QPointF(to.topLeft()) + QPointF(inside - from.topLeft()) / nearest->ratio;
    // A ratio that doesn't divide the screen's size leaves its last pixel a
    // fraction past the logical edge: keep it on the screen.
    return {std::min(logical.x(), double(to.right())), std::min(logical.y(), double(to.bottom()))};
}

} // namespace vima
