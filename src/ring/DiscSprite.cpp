#include "ring/DiscSprite.h"

#include "ui/BandedBlit.h"
#include "ui/PixelSnap.h"
#include "ring/SoftShadow.h"

#include <QHash>
#include <QPaintDevice>
#include <QPainter>
#include <QPen>
#include <cmath>

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

} // namespace

double DiscSprite::margin() const
{
    double margin = 1;
    for (const Shadow &shadow : shadows)
        margin = std::max(margin, SoftShadow::margin(shadow.radius) + std::max(std::abs(shadow.offset.x()),
                                                                               std::abs(shadow.offset.y())));
    return std::ceil(margin);
}

QImage DiscSprite::image(double pixelRatio) const
{
    static QHash<QString, QImage> cache;
    const QString key = keyOf(*this, pixelRatio);
    if (const auto it = cache.constFind(key); it != cache.constEnd())
        return *it;

    const double m = margin();
    const double side = diameter + 2 * m;
    const int pixels = static_cast<int>(std::ceil(side * pixelRatio));
    QImage image(pixels, pixels, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(pixelRatio);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
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
    return *cache.insert(key, image);
}

void DiscSprite::paint(QPainter &painter, QPointF centre) const
{
    const QPaintDevice *device = painter.device();
    const double ratio = device ? device->devicePixelRatioF() : 1.0;
    const double m = margin();
    drawImageInBands(painter, snappedToPixels(painter, centre - QPointF(diameter / 2 + m, diameter / 2 + m)),
                     image(ratio));
}

} // namespace vima
