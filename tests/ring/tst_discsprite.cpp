#include "ring/DiscSprite.h"

#include <QPainter>
#include <QTest>

using namespace vima;

namespace {

// The box of the pixels a paint covered.
QRect coveredBox(const QImage &image)
{
    QRect box;
    for (int y = 0; y < image.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if (qAlpha(line[x]) > 8)
                box |= QRect(x, y, 1, 1);
        }
    }
    return box;
}

QImage canvas(double ratio)
{
    QImage image(QSize(400, 400) * ratio, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::transparent);
    return image;
}

void scaleAbout(QPainter &painter, QPointF pivot, double scale)
{
    painter.translate(pivot);
    painter.scale(scale, scale);
    painter.translate(-pivot);
}

} // namespace

class TestDiscSprite : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Under the appear and hover animations' scale the sprite is drawn from
    // an image made at that scale: it must land where resampling would.
    void aScaledSpriteCoversWhatResamplingWould_data()
    {
        QTest::addColumn<double>("ratio");
        QTest::addColumn<double>("scale");
        QTest::newRow("appearing, 1x") << 1.0 << 0.86;
        QTest::newRow("appearing, 2x") << 2.0 << 0.93;
        QTest::newRow("highlighted, 1x") << 1.0 << 1.09;
        QTest::newRow("highlighted, 2x") << 2.0 << 1.09;
    }

    void aScaledSpriteCoversWhatResamplingWould()
    {
        QFETCH(double, ratio);
        QFETCH(double, scale);
        const DiscSprite sprite{56, QColor(240, 240, 240), Qt::transparent, false,
                                {DiscSprite::Shadow{0.3, 9, QPointF(0, 4)}, DiscSprite::Shadow{}}};
        const QPointF pivot(200, 200), centre(150, 170);

        QImage drawn = canvas(ratio);
        QPainter painter(&drawn);
        scaleAbout(painter, pivot, scale);
        sprite.paint(painter, centre);
        painter.end();

        QImage resampled = canvas(ratio);
        QPainter reference(&resampled);
        reference.setRenderHint(QPainter::SmoothPixmapTransform);
        scaleAbout(reference, pivot, scale);
        const QImage image = sprite.image(ratio);
        const QSizeF size = image.deviceIndependentSize();
        reference.drawImage(centre - QPointF(size.width() / 2, size.height() / 2), image);
        reference.end();

        const QRect got = coveredBox(drawn), want = coveredBox(resampled);
        const int slack = qCeil(ratio) + 1; // steps of 1/32 in scale, whole pixels in place
        QVERIFY2(std::abs(got.left() - want.left()) <= slack && std::abs(got.top() - want.top()) <= slack &&
                     std::abs(got.right() - want.right()) <= slack && std::abs(got.bottom() - want.bottom()) <= slack,
                 qPrintable(QStringLiteral("%1,%2 %3x%4 against %5,%6 %7x%8")
                                .arg(got.x()).arg(got.y()).arg(got.width()).arg(got.height())
                                .arg(want.x()).arg(want.y()).arg(want.width()).arg(want.height())));
    }
};

QTEST_MAIN(TestDiscSprite)
#include "tst_discsprite.moc"
