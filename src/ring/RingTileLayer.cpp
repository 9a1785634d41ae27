#include "ring/RingTileLayer.h"

#include <QPainter>
#include <cmath>

namespace vima {

const QImage &RingTileLayer::image(const QString &key, QSizeF size, double pixelRatio,
                                   const std::function<void(QPainter &)> &render)
{
    if (key == key_ && !image_.isNull())
        return image_;
    const QSize pixels(static_cast<int>(std::ceil(size.width() * pixelRatio)),
                       static_cast<int>(std::ceil(size.height() * pixelRatio)));
    if (image_.size() != pixels)
        image_ = QImage(pixels, QImage::Format_ARGB32_Premultiplied);
    image_.setDevicePixelRatio(pixelRatio);
    image_.fill(Qt::transparent);
    QPainter painter(&image_);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing | QPainter::SmoothPixmapTransform);
    render(painter);
    painter.end();
    key_ = key;
    ++renders_;
    return image_;
}

} // namespace vima
