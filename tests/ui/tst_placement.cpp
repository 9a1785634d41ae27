#include "ui/PlaceNearPointer.h"

#include <QTest>

using namespace vima;

class TestPlacement : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void placesByTheRule_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QPoint>("pointer");
        QTest::addColumn<int>("offset");
        QTest::addColumn<QPoint>("expected");
        // A 1600 x 1000 screen with a 30-point panel on top.
        QTest::newRow("below, centred") << QSize(460, 200) << QPoint(800, 300) << 0 << QPoint(570, 324);
        QTest::newRow("busy 64 below") << QSize(200, 40) << QPoint(800, 300) << -40 << QPoint(700, 364);
        QTest::newRow("near bottom goes above")
            << QSize(460, 200) << QPoint(800, 900) << 0 << QPoint(570, 900 - 24 - 200);
        QTest::newRow("above ignores the offset")
            << QSize(200, 40) << QPoint(800, 960) << -40 << QPoint(700, 960 - 24 - 40);
        QTest::newRow("left edge keeps 12") << QSize(460, 200) << QPoint(10, 300) << 0 << QPoint(12, 324);
        QTest::newRow("right edge keeps 12")
            << QSize(460, 200) << QPoint(1595, 300) << 0 << QPoint(1600 - 460 - 12, 324);
        QTest::newRow("too wide: right margin wins")
            << QSize(1700, 200) << QPoint(800, 300) << 0 << QPoint(1600 - 1700 - 12, 324);
        QTest::newRow("too tall: top margin wins")
            << QSize(460, 1200) << QPoint(800, 300) << 0 << QPoint(570, 30 + 12);
        QTest::newRow("above but under the top panel")
            << QSize(460, 900) << QPoint(800, 700) << 0 << QPoint(570, 30 + 12);
    }

    void placesByTheRule()
    {
        QFETCH(QSize, size);
        QFETCH(QPoint, pointer);
        QFETCH(int, offset);
        QFETCH(QPoint, expected);
        const QRect visible(0, 30, 1600, 970);
        QCOMPARE(placeNearPointer(size, pointer, offset, visible), expected);
    }
};

QTEST_GUILESS_MAIN(TestPlacement)
#include "tst_placement.moc"
