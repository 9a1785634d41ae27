#include "ui/IconView.h"

#include "ui/AppIconCache.h"
#include "ui/BandedBlit.h"
#include "ui/PixelSnap.h"

#include <QFont>
#include <QHash>
#include <QPaintDevice>
#include <QPainter>
#include <cmath>

namespace vima {

namespace {

double deviceRatio(const QPainter &painter)
{
    const QPaintDevice *device = painter.device();
    return device ? device->devicePixelRatioF() : 1.0;
}

// Device pixels of a length. The painter's own scale (the appear and hover
// animations) is left to resampling: rendering at every step of an animation
// would fill the caches with sizes used for one frame.
int devicePixels(const QPainter &painter, double points)
{
    return std::max(1, static_cast<int>(std::ceil(points * deviceRatio(painter))));
}

// Draws an image made at the painter's pixel ratio pixel for pixel, centred.
void drawImageCentred(QPainter &painter, const QImage &image, QPointF centre)
{
    QImage sized = image;
    sized.setDevicePixelRatio(deviceRatio(painter));
    const QSizeF size = sized.deviceIndependentSize();
    drawImageInBands(painter, snappedToPixels(painter, centre - QPointF(size.width() / 2, size.height() / 2)), sized);
}

QImage renderEmoji(const QString &text, int pixelSize)
{
    QFont font(QStringLiteral("Noto Color Emoji"));
    font.setPixelSize(std::max(1, pixelSize));
    const int side = static_cast<int>(std::ceil(pixelSize * 1.35));
    QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing | QPainter::SmoothPixmapTransform);
    painter.setFont(font);
    painter.drawText(QRectF(0, 0, side, side), Qt::AlignCenter, text);
    return image;
}

} // namespace

void IconView::paintSymbol(QPainter &painter, const QString &name, QPointF centre, double fontSize,
                           const QColor &ink, SymbolCatalog::Weight weight)
{
    const double side = symbolSide(fontSize);
    drawImageCentred(painter, SymbolCatalog::image(name, devicePixels(painter, side), ink, weight), centre);
}

void IconView::paintEmoji(QPainter &painter, const QString &text, QPointF centre, double fontSize)
{
    static QHash<QString, QImage> cache;
    const int pixels = devicePixels(painter, fontSize);
    const QString key = QString::number(pixels) + QLatin1Char('|') + text;
    auto it = cache.find(key);
    if (it == cache.end())
        it = cache.insert(key, renderEmoji(text, pixels));
    drawImageCentred(painter, *it, centre);
}

void IconView::paint(QPainter &painter, QPointF centre, const QColor &ink, SymbolCatalog::Weight weight) const
{
    switch (icon.kind) {
    case IconSpec::Kind::symbol:
        paintSymbol(painter, icon.value, centre, size, ink, weight);
        return;
    case IconSpec::Kind::emoji:
        paintEmoji(painter, icon.value, centre, size);
        return;
    case IconSpec::Kind::appIcon:
        break;
    }
    const QIcon appIcon = appIcons ? appIcons->icon(icon.value) : QIcon();
    if (appIcon.isNull() && appIcons && appIcons->isLoading(icon.value))
        return; // drawn once it has loaded, without a flash of the missing symbol
    if (appIcon.isNull()) {
        paintSymbol(painter, SymbolCatalog::missingApp, centre, size, ink, SymbolCatalog::Weight::medium);
        return;
    }
    const double side = appIconSide();
    const int pixels = devicePixels(painter, side);
    const QPixmap pixmap = appIcon.pixmap(QSize(pixels, pixels), 1.0);
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawPixmap(QRectF(centre.x() - side / 2, centre.y() - side / 2, side, side), pixmap,
                       QRectF(pixmap.rect()));
    painter.restore();
}

} // namespace vima
