#pragma once

#include <QColor>
#include <QImage>
#include <QPointF>
#include <array>

class QPainter;

namespace vima {

// A round tile with its drop shadows, rendered once into an image and then
// drawn with a single blit: large antialiased fills and blurred shadows per
// frame would cost far more than a display frame allows.
struct DiscSprite {
    struct Shadow {
        double opacity = 0;
        double radius = 0;
        QPointF offset;
    };

    double diameter = 0;
    QColor fill;
    QColor border = Qt::transparent; // one point wide, inside the circle
    bool dashedBorder = false;
    std::array<Shadow, 2> shadows{};

    void paint(QPainter &painter, QPointF centre) const;
    QImage image(double pixelRatio) const;

private:
    double margin() const;
};

} // namespace vima
