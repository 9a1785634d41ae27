#pragma once

#include <QImage>
#include <QPainter>
#include <algorithm>

namespace vima {

// Draws `image` (made at its own pixel ratio) with its top-left at `topLeft`,
// in horizontal bands of a few thousand pixels. Qt's raster engine hands
// larger blits to its thread pool; for tiles and icons the hand-over costs
// more than the copy, and far more on a busy machine. Only unscaled drawing
// is cut up.
inline void drawImageInBands(QPainter &painter, QPointF topLeft, const QImage &image)
{
    // Scaled bands would be resampled apart and show seams.
    if (painter.worldTransform().type() > QTransform::TxTranslate) {
        painter.drawImage(topLeft, image);
        return;
    }
    constexpr int pixelsPerBand = 2048;
    const int band = std::max(4, pixelsPerBand / std::max(image.width(), 1));
    const double ratio = image.devicePixelRatio();
    for (int y = 0; y < image.height(); y += band) {
        const QRect source(0, y, image.width(), std::min(band, image.height() - y));
        painter.drawImage(topLeft + QPointF(0, y / ratio), image, source);
    }
}

} // namespace vima
