#pragma once

#include <QImage>
#include <QString>
#include <functional>

class QPainter;

namespace vima {

// The idle tiles of a ring, kept as one image between frames: they change
// only when the ring, its size or the set of highlighted tiles does, and one
// blit is far cheaper than two dozen tiles with shadows and icons.
class RingTileLayer {
public:
    // The layer for `key`, rendered anew by `render` (in points, origin at the
    // layer's top-left) when the key differs from the last one.
    const QImage &image(const QString &key, QSizeF size, double pixelRatio,
                        const std::function<void(QPainter &)> &render);
    int renders() const { return renders_; }

private:
    QString key_;
    QImage image_;
    int renders_ = 0;
};

} // namespace vima
