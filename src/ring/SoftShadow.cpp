#include "ring/SoftShadow.h"

#include "ui/BandedBlit.h"
#include "ui/PixelSnap.h"

#include <QHash>
#include <QPaintDevice>
#include <QPainter>
#include <QPainterPath>
#include <cmath>
#include <vector>

namespace vima {

namespace {

// One box blur pass along rows (step 1) or columns (step = bytes per line).
void boxBlur(uchar *data, int count, int lines, qsizetype step, qsizetype lineStep, int half)
{
    std::vector<int> line(static_cast<size_t>(count));
    for (int l = 0; l < lines; ++l) {
        uchar *start = data + l * lineStep;
        for (int i = 0; i < count; ++i)
            line[size_t(i)] = start[i * step];
        int sum = 0;
        const int width = 2 * half + 1;
        for (int i = -half; i <= half; ++i)
            sum += (i >= 0 && i < count) ? line[size_t(i)] : 0;
        for (int i = 0; i < count; ++i) {
            start[i * step] = static_cast<uchar>(sum / width);
            const int out = i - half, in = i + half + 1;
            sum -= (out >= 0) ? line[size_t(out)] : 0;
            sum += (in < count) ? line[size_t(in)] : 0;
        }
    }
}

// Three box blurs approximate a Gaussian of `sigma` pixels.
void gaussianBlur(QImage &alpha, double sigma)
{
    const int half = std::max(1, static_cast<int>(std::lround(std::sqrt(4 * sigma * sigma + 1) / 2)));
    for (int pass = 0; pass < 3; ++pass) {
        boxBlur(alpha.bits(), alpha.width(), alpha.height(), 1, alpha.bytesPerLine(), half);
        boxBlur(alpha.bits(), alpha.height(), alpha.width(), alpha.bytesPerLine(), 1, half);
    }
}

QImage render(QSizeF shape, double cornerRadius, double opacity, double radius, double pixelRatio)
{
    const double margin = SoftShadow::margin(radius);
    const QSize pixels = ((shape + QSizeF(2 * margin, 2 * margin)) * pixelRatio).toSize();
    QImage alpha(pixels, QImage::Format_Alpha8);
    alpha.fill(0);
    {
        QPainter painter(&alpha);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor::fromRgbF(0, 0, 0, float(opacity)));
        painter.scale(pixelRatio, pixelRatio);
        painter.drawRoundedRect(QRectF(QPointF(margin, margin), shape), cornerRadius, cornerRadius);
    }
    // The radius of an interface shadow is about two sigmas.
    gaussianBlur(alpha, radius / 2 * pixelRatio);
    QImage image = alpha.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(pixelRatio);
    return image;
}

} // namespace

QImage SoftShadow::image(QSizeF shape, double cornerRadius, double opacity, double radius, double pixelRatio)
{
    static QHash<QString, QImage> cache;
    const QString key = QStringLiteral("%1x%2r%3o%4b%5@%6")
                            .arg(shape.width(), 0, 'f', 1)
                            .arg(shape.height(), 0, 'f', 1)
                            .arg(cornerRadius, 0, 'f', 1)
                            .arg(opacity, 0, 'f', 3)
                            .arg(radius, 0, 'f', 1)
                            .arg(pixelRatio, 0, 'f', 2);
    auto it = cache.find(key);
    if (it == cache.end())
        it = cache.insert(key, render(shape, cornerRadius, opacity, radius, pixelRatio));
    return *it;
}

void SoftShadow::paint(QPainter &painter, const QRectF &shape, double cornerRadius, double opacity,
                       double radius, QPointF offset)
{
    if (opacity <= 0.001)
        return;
    const QPaintDevice *device = painter.device();
    const double ratio = device ? device->devicePixelRatioF() : 1.0;
    const QImage shadow = image(shape.size(), cornerRadius, std::min(opacity, 1.0), radius, ratio);
    const double m = margin(radius);
    drawImageInBands(painter, snappedToPixels(painter, shape.topLeft() + offset - QPointF(m, m)), shadow);
}

} // namespace vima
