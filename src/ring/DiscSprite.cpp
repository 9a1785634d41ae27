#include "ring/DiscSprite.h"

#include "ui/BandedBlit.h"
#include "ui/PixelSnap.h"
#include "ring/SoftShadow.h"

#include <QCache>
#include <QHash>
#include <QPaintDevice>
#include <QPainter>
#include <QPen>
#include <cmath>
#include <optional>

namespace vima {

namespace {

QString keyOf(const DiscSprite &sprite, double ratio)
{
    QString key = QStringLiteral("%1|%2|%3|%4|%5")
                      .arg(sprite.diameter, 0, 'f', 2)
                      .arg(sprite.fill.rgba(), 0, 16)
                      .arg(sprite.border.rgba(), 0, 16)
                      .arg(sprite.dashedBorder)
                      .arg(ratio, 0, 'f', 2);
    for (const DiscSprite::Shadow &shadow : sprite.shadows)
        key += QStringLiteral("|%1,%2,%3,%4")
                   .arg(shadow.opacity, 0, 'f', 3)
                   .arg(shadow.radius, 0, 'f', 1)
                   .arg(shadow.offset.x(), 0, 'f', 1)
                   .arg(shadow.offset.y(), 0, 'f', 1);
    return key;
}

constexpr double scaleSteps = 32;
// The sprites of animation steps, a few dozen at most; older ones go first.
constexpr qsizetype scaledCacheBytes = 4 << 20;

// The painter's even scale, or none where it only translates or also turns.
std::optional<double> evenScaleOf(const QTransform &world)
{
    if (world.type() != QTransform::TxScale || !(world.m11() > 0) || !qFuzzyCompare(world.m11(), world.m22()))
        return std::nullopt;
    return world.m11();
}

} // namespace

double DiscSprite::margin() const
{
    double margin = 1;
    for (const Shadow &shadow : shadows)
        margin = std::max(margin, SoftShadow::margin(shadow.radius) + std::max(std::abs(shadow.offset.x()),
                                                                               std::abs(shadow.offset.y())));
    return std::ceil(margin);
}

QImage DiscSprite::image(double pixelRatio, double scale) const
{
    if (scale != 1) {
        static QCache<QString, QImage> scaled(scaledCacheBytes);
        const QString key = keyOf(*this, pixelRatio) + QStringLiteral("|x%1").arg(scale, 0, 'f', 4);
        if (const QImage *found = scaled.object(key))
            return *found;
        const QImage made = render(pixelRatio, scale);
        scaled.insert(key, new QImage(made), made.sizeInBytes());
        return made;
    }
    static QHash<QString, QImage> cache;
    const QString key = keyOf(*this, pixelRatio);
    if (const auto it = cache.constFind(key); it != cache.constEnd())
        return *it;
    return *cache.insert(key, render(pixelRatio, 1));
}

QImage DiscSprite::render(double pixelRatio, double scale) const
{
    const double m = margin();
    const double side = diameter + 2 * m;
    const int pixels = static_cast<int>(std::ceil(side * scale * pixelRatio));
    QImage image(pixels, pixels, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(pixelRatio);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
    // Made once per step: the shadows' own images are scaled here, not per frame.
    painter.scale(scale, scale);
    const QRectF disc(m, m, diameter, diameter);
    for (const Shadow &shadow : shadows)
        SoftShadow::paint(painter, disc, diameter / 2, shadow.opacity, shadow.radius, shadow.offset);
    painter.setPen(Qt::NoPen);
    painter.setBrush(fill);
    painter.drawEllipse(disc);
    if (border.alpha() > 0) {
        QPen pen(border, 1);
        if (dashedBorder)
            pen.setDashPattern({3, 3});
        painter.setPen(pen);
        painter.setBrush(Qt::NoBrush);
        painter.drawEllipse(disc.adjusted(0.5, 0.5, -0.5, -0.5));
    }
    painter.end();
    return image;
}

void DiscSprite::paint(QPainter &painter, QPointF centre) const
{
    const QPaintDevice *device = painter.device();
    const double ratio = device ? device->devicePixelRatioF() : 1.0;
    const double half = diameter / 2 + margin();
    const std::optional<double> scale = evenScaleOf(painter.worldTransform());
    if (!scale) {
        drawImageInBands(painter, snappedToPixels(painter, centre - QPointF(half, half)), image(ratio));
        return;
    }
    const double step = std::max(1.0, std::round(*scale * scaleSteps)) / scaleSteps;
    const QImage sprite = image(ratio, step);
    const QPointF at = painter.worldTransform().map(centre);
    const QSizeF size = sprite.deviceIndependentSize();
    painter.save();
    painter.setWorldTransform(QTransform());
    drawImageInBands(painter, snappedToPixels(painter, at - QPointF(size.width() / 2, size.height() / 2)), sprite);
    painter.restore();
}

} // namespace vima
