#include "ui/PlaceNearPointer.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <algorithm>

namespace vima {

QPoint placeNearPointer(const QSize &size, const QPoint &pointer, int verticalOffset, const QRect &visible)
{
    // The rule is stated with y growing upwards: work on the mirrored axis.
    constexpr double margin = 12;
    constexpr double gap = 24;
    const double w = size.width();
    const double h = size.height();
    const double px = pointer.x();
    const double py = -pointer.y();
    const double minX = visible.x();
    const double maxX = visible.x() + visible.width();
    const double minY = -(visible.y() + visible.height());
    const double maxY = -visible.y();

    double x = px - w / 2;
    double y = py - h - gap + verticalOffset; // the panel's bottom edge
    if (x <= minX + margin)
        x = minX + margin;
    if (maxX - w - margin < x)
        x = maxX - w - margin;
    if (y < minY + margin)
        y = std::min(py + gap, maxY - h - margin);
    if (y <= minY + margin)
        y = minY + margin;
    if (maxY - h - margin < y)
        y = maxY - h - margin;
    return {qRound(x), qRound(-(y + h))};
}

void placeNearPointer(QWidget *panel, const QPoint &pointer, int verticalOffset)
{
    const QList<QScreen *> screens = QGuiApplication::screens();
    const auto under = std::find_if(screens.begin(), screens.end(),
                                     [&](QScreen *screen) { return screen->geometry().contains(pointer); });
    QScreen *screen = under != screens.end() ? *under : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    panel->move(placeNearPointer(panel->size(), pointer, verticalOffset, screen->availableGeometry()));
}

} // namespace vima
