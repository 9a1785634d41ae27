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

    // Under a painter that scales evenly (the ring's appear and hover
    // animations) the sprite is made at that scale, in steps of 1/32, and
    // copied pixel for pixel: resampled, it would be handed to Qt's raster
    // thread pool in every frame.
    void paint(QPainter &painter, QPointF centre) const;
    // At `pixelRatio` device pixels per point, drawn `scale` times its size.
    QImage image(double pixelRatio, double scale = 1) const;

private:
    double margin() const;
    QImage render(double pixelRatio, double scale) const;
};

} // namespace vima
