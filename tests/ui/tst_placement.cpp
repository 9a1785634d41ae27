#include "platform/ScreenMap.h"
#include "ui/PlaceNearPointer.h"
#include "ui/PopupPlacement.h"

#include <QTest>

using namespace vima;

using Screens = QList<ScreenMap::Screen>;

namespace {

// A screen as Qt reports it: the top-left corner in device pixels, the size
// in points.
ScreenMap::Screen screen(int x, int y, int width, int height, double ratio)
{
    return {QRect(x, y, width, height), ratio, QRect(x, y, qRound(width / ratio), qRound(height / ratio))};
}

} // namespace

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

    // Points from X in device pixels, on monitors of 1920 x 1080 points.
    void mapsPointsByTheirScreen_data()
    {
        QTest::addColumn<Screens>("screens");
        QTest::addColumn<QPoint>("native");
        QTest::addColumn<QPointF>("logical");
        const auto at1x = [](int x, int y = 0) { return screen(x, y, 1920, 1080, 1); };
        const auto at2x = [](int x, int y = 0) { return screen(x, y, 3840, 2160, 2); };
        QTest::newRow("origin screen at 2x") << Screens{at2x(0)} << QPoint(1000, 600) << QPointF(500, 300);
        QTest::newRow("offset screen at 2x, both 2x")
            << Screens{at2x(0), at2x(3840)} << QPoint(4000, 100) << QPointF(3920, 50);
        QTest::newRow("2x beside 1x, on the 1x")
            << Screens{at2x(0), at1x(3840, 200)} << QPoint(4000, 500) << QPointF(4000, 500);
        QTest::newRow("1x beside 2x, on the 2x")
            << Screens{at1x(0), at2x(1920)} << QPoint(2920, 1000) << QPointF(2420, 500);
        QTest::newRow("1x beside 2x, on the 1x") << Screens{at1x(0), at2x(1920)} << QPoint(900, 700) << QPointF(900, 700);
        QTest::newRow("primary listed last")
            << Screens{at1x(3840, 200), at2x(0)} << QPoint(3000, 2000) << QPointF(1500, 1000);
        QTest::newRow("1.5x") << Screens{at1x(0), screen(1920, 0, 2880, 1620, 1.5)} << QPoint(3360, 810)
                              << QPointF(2880, 540);
        QTest::newRow("a gap below the smaller screen: onto the nearer edge")
            << Screens{at2x(0), at1x(3840)} << QPoint(4000, 1200) << QPointF(4000, 1079);
        QTest::newRow("a gap nearer the larger screen")
            << Screens{at2x(0), at1x(3840)} << QPoint(3900, 1500) << QPointF(1919, 750);
        QTest::newRow("last pixel of a 2x screen stays on it") << Screens{at2x(0), at1x(3840)} << QPoint(3839, 2159)
                                                                << QPointF(1919, 1079);
    }

    void mapsPointsByTheirScreen()
    {
        QFETCH(Screens, screens);
        QFETCH(QPoint, native);
        QFETCH(QPointF, logical);
        QCOMPARE(ScreenMap(screens).toLogical(native), logical);
    }

    // A popup beside its anchor on a 1280 x 800 screen with a 30-point panel on top:
    // the add panel (320 x 420) beside a sheet, the chooser (288 x 400) beside a tile.
    void popupsStayInsideTheScreen_data()
    {
        QTest::addColumn<QRect>("anchor");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<PopupSide>("side");
        QTest::addColumn<QPoint>("expected");
        const QSize panel(320, 420), chooser(288, 400);
        QTest::newRow("trailing fits") << QRect(100, 200, 600, 400) << panel << PopupSide::trailing << QPoint(708, 189);
        QTest::newRow("trailing past the right edge: leading")
            << QRect(400, 200, 600, 400) << panel << PopupSide::trailing << QPoint(72, 189);
        QTest::newRow("neither side: inside the anchor's trailing edge")
            << QRect(100, 100, 1100, 600) << panel << PopupSide::trailing << QPoint(880, 189);
        QTest::newRow("leading fits") << QRect(600, 300, 60, 50) << chooser << PopupSide::leading << QPoint(304, 124);
        QTest::newRow("leading past the left edge: trailing")
            << QRect(100, 300, 60, 50) << chooser << PopupSide::leading << QPoint(168, 124);
        QTest::newRow("near the top: below the panel")
            << QRect(600, 40, 60, 50) << chooser << PopupSide::leading << QPoint(304, 30);
        QTest::newRow("near the bottom: above it")
            << QRect(600, 760, 60, 30) << chooser << PopupSide::leading << QPoint(304, 400);
        QTest::newRow("taller than the screen: top-left inside")
            << QRect(600, 300, 60, 50) << QSize(288, 900) << PopupSide::leading << QPoint(304, 30);
        QTest::newRow("anchor off screen to the right")
            << QRect(1400, 300, 60, 50) << chooser << PopupSide::trailing << QPoint(992, 124);
    }

    void popupsStayInsideTheScreen()
    {
        QFETCH(QRect, anchor);
        QFETCH(QSize, size);
        QFETCH(PopupSide, side);
        QFETCH(QPoint, expected);
        const QRect available(0, 30, 1280, 770);
        const QPoint at = popupPosition(anchor, size, available, side);
        QCOMPARE(at, expected);
        if (size.height() <= available.height())
            QVERIFY(available.contains(QRect(at, size)));
    }
};

QTEST_GUILESS_MAIN(TestPlacement)
#include "tst_placement.moc"
