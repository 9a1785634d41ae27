#pragma once

#include <QImage>
#include <QRectF>

class QPainter;

namespace vima {

// Blurred drop shadows of rounded shapes, rendered once per shape, opacity,
// blur and pixel ratio and then reused: a blur per frame would cost far too
// much, and so would blending a cached shadow at a reduced opacity.
class SoftShadow {
public:
    // Paints the shadow of a rounded rectangle (a circle or capsule when the
    // radius is half the short side) in black at `opacity`, blurred by
    // `radius` points and moved by `offset`.
    static void paint(QPainter &painter, const QRectF &shape, double cornerRadius, double opacity,
                      double radius, QPointF offset);
    // The blurred shape in device pixels, with a margin of three sigmas.
    static QImage image(QSizeF shape, double cornerRadius, double opacity, double radius, double pixelRatio);
    static double margin(double radius) { return radius * 1.5; }
};

} // namespace vima
