#include "ring/RingGeometry.h"
#include "ring/RingLayout.h"

#include <QLineF>
#include <QTest>
#include <cmath>

using namespace vima;

namespace {

QPointF rotated(double degreesClockwiseFromUp, double radius)
{
    const double angle = degreesClockwiseFromUp * M_PI / 180 - M_PI / 2;
    return QPointF(200 + radius * std::cos(angle), 200 + radius * std::sin(angle));
}

const RingGeometry eight{8, 40, 140, QPointF(200, 200)};

} // namespace

class TestRingLayout : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void hitTest_data()
    {
        QTest::addColumn<QPointF>("point");
        QTest::addColumn<std::optional<int>>("slot");
        QTest::newRow("up") << QPointF(200, 100) << std::optional<int>(0);
        QTest::newRow("right") << QPointF(300, 200) << std::optional<int>(2);
        QTest::newRow("down") << QPointF(200, 300) << std::optional<int>(4);
        QTest::newRow("left") << QPointF(100, 200) << std::optional<int>(6);
        QTest::newRow("22.4 degrees") << rotated(22.4, 100) << std::optional<int>(0);
        QTest::newRow("22.6 degrees") << rotated(22.6, 100) << std::optional<int>(1);
        QTest::newRow("-22.4 degrees") << rotated(-22.4, 100) << std::optional<int>(0);
        QTest::newRow("-22.6 degrees") << rotated(-22.6, 100) << std::optional<int>(7);
        QTest::newRow("on inner radius") << QPointF(200, 160) << std::optional<int>(0);
        QTest::newRow("just inside inner") << QPointF(200, 160.001) << std::optional<int>();
        QTest::newRow("centre") << QPointF(200, 200) << std::optional<int>();
        QTest::newRow("on slack limit") << QPointF(200, 200 - 230) << std::optional<int>(0);
        QTest::newRow("beyond slack") << QPointF(200, 200 - 230.001) << std::optional<int>();
        QTest::newRow("slack to the left") << QPointF(200 - 229, 200) << std::optional<int>(6);
    }
    void hitTest()
    {
        QFETCH(QPointF, point);
        QFETCH(std::optional<int>, slot);
        QCOMPARE(eight.slot(point, 90), slot);
    }

    void oneSlotOwnsTheAnnulus()
    {
        const RingGeometry one{1, 40, 140, QPointF(200, 200)};
        for (int degrees = 0; degrees < 360; degrees += 15)
            QCOMPARE(one.slot(rotated(degrees, 90), 0), std::optional<int>(0));
    }

    void tileSize_data()
    {
        QTest::addColumn<double>("outer");
        QTest::addColumn<double>("scale");
        QTest::addColumn<double>("tile");
        QTest::newRow("default") << 138.0 << 1.0 << 52.026;
        QTest::newRow("small clamps to 40") << 80.0 << 1.0 << 40.0;
        QTest::newRow("large clamps to 76") << 250.0 << 1.0 << 76.0;
        QTest::newRow("scaled") << 100.0 << 1.5 << 56.55;
        QTest::newRow("not a number") << std::nan("") << 1.0 << 40.0;
    }
    void tileSize()
    {
        QFETCH(double, outer);
        QFETCH(double, scale);
        QFETCH(double, tile);
        Appearance appearance;
        appearance.outerRadius = outer;
        appearance.sizeScale = scale;
        QVERIFY(std::abs(RingLayout::tileSizeFor(appearance) - tile) < 1e-9);
    }

    void defaultLayoutNumbers()
    {
        const Appearance appearance;
        const RingGeometry root{8, 48, 138, QPointF(300, 300)};
        const RingLayout layout = RingLayout::make(root, appearance, QSizeF(600, 600));
        QVERIFY(std::abs(layout.tileRadius() - 115.987) < 1e-9);
        QVERIFY(std::abs(layout.tileCentre(0).y() - (300 - 115.987)) < 1e-9);
        QVERIFY(std::abs(layout.tileCentre(0).x() - 300) < 1e-9);
        QVERIFY(std::abs(layout.dimmingRadius() - 255.3) < 1e-9);
        QCOMPARE(layout.pageRowCentre(), QPointF(300, 300 + 138 + 28));
        QCOMPARE(layout.breadcrumbCentre(), QPointF(300, 300 - 138 - 26));

        const RingGeometry pack{8, 48, 202, QPointF(300, 300)};
        const RingLayout nested = RingLayout::make(pack, appearance, QSizeF(600, 600));
        QVERIFY(std::abs(nested.tileRadius() - 179.987) < 1e-9);
        QVERIFY(std::abs(nested.parentTraceDiameter() - 231.974) < 1e-9);
    }

    void crowdedRingsShrinkTheirTiles_data()
    {
        QTest::addColumn<int>("slots");
        QTest::addColumn<bool>("shrunk");
        QTest::newRow("8 slots keep T") << 8 << false;
        QTest::newRow("12 slots keep T") << 12 << false;
        QTest::newRow("14 slots") << 14 << true;
        QTest::newRow("24 slots") << 24 << true;
    }
    void crowdedRingsShrinkTheirTiles()
    {
        QFETCH(int, slots);
        QFETCH(bool, shrunk);
        const Appearance appearance;
        const RingLayout layout = RingLayout::make(RingGeometry{slots, 48, 138, QPointF()}, appearance, QSizeF());
        QCOMPARE(layout.tileSize < RingLayout::tileSizeFor(appearance), shrunk);
        const QLineF neighbours(layout.tileCentre(0), layout.tileCentre(1));
        QVERIFY2(neighbours.length() >= layout.tileSize + 3.9, qPrintable(QString::number(neighbours.length())));
    }

    void narrowBandCentresTiles()
    {
        const RingGeometry band{8, 100, 110, QPointF(0, 0)};
        QCOMPARE(RingLayout::tileRadius(band, 52), 105.0); // band narrower than T − 8
    }

    void hoverLabelPlacement_data()
    {
        QTest::addColumn<double>("cosine");
        QTest::addColumn<QPointF>("tile");
        QTest::addColumn<double>("width");
        QTest::addColumn<QRectF>("label");
        // T 52, gap 8, view 600 × 600.
        QTest::newRow("just left of the bottom hangs right")
            << -0.005 << QPointF(300, 400) << 80.0 << QRectF(334, 385, 80, 30);
        QTest::newRow("left hangs left") << -0.02 << QPointF(300, 400) << 80.0 << QRectF(186, 385, 80, 30);
        QTest::newRow("right") << 0.7 << QPointF(300, 400) << 80.0 << QRectF(334, 385, 80, 30);
        QTest::newRow("top edge stops at 0") << 0.0 << QPointF(300, 10) << 80.0 << QRectF(334, 0, 80, 30);
        QTest::newRow("bottom edge stops at the view's") << 0.7 << QPointF(300, 595) << 80.0 << QRectF(334, 570, 80, 30);
        QTest::newRow("left edge beyond the view") << -1.0 << QPointF(700, 300) << 80.0 << QRectF(520, 285, 80, 30);
        QTest::newRow("no room on the right hangs left") << 1.0 << QPointF(560, 300) << 80.0 << QRectF(446, 285, 80, 30);
        QTest::newRow("no room on the left hangs right") << -1.0 << QPointF(60, 300) << 80.0 << QRectF(94, 285, 80, 30);
        QTest::newRow("too wide for either side: cut at the edge")
            << 0.7 << QPointF(250, 300) << 400.0 << QRectF(284, 285, 316, 30);
        QTest::newRow("cut on the left when that is roomier")
            << 0.7 << QPointF(400, 300) << 400.0 << QRectF(0, 285, 366, 30);
    }
    void hoverLabelPlacement()
    {
        QFETCH(double, cosine);
        QFETCH(QPointF, tile);
        QFETCH(double, width);
        QFETCH(QRectF, label);
        const RingLayout layout{RingGeometry{8, 48, 138, QPointF(300, 300)}, {}, 52, QSizeF(600, 600)};
        QCOMPARE(layout.hoverLabelRect(std::acos(cosine), tile, width, 8), label);
    }
};

QTEST_GUILESS_MAIN(TestRingLayout)
#include "tst_ringlayout.moc"
