#pragma once

#include <QList>
#include <QPoint>
#include <QPointF>
#include <QRect>

namespace vima {

// Where the X server's pixels land in Qt's global coordinates. Qt keeps each
// screen's top-left corner in device pixels and divides only the distances
// inside a screen by that screen's ratio, so a point is mapped by the screen
// that holds it, never by one ratio for the whole desktop.
class ScreenMap {
public:
    struct Screen {
        QRect native;  // in device pixels
        double ratio;  // device pixels per point
        QRect logical; // as QScreen::geometry() has it
    };

    explicit ScreenMap(QList<Screen> screens);

    // By the first screen that holds `native`; a point in no screen (a gap
    // between monitors of different sizes) by the nearest one, onto its edge.
    // Without screens, the point as it is.
    QPointF toLogical(QPoint native) const;

private:
    QList<Screen> screens_;
};

} // namespace vima
