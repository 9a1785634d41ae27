#include "ring/RingGeometry.h"
#include "ring/RingSliceShape.h"

#include <QTest>
#include <cmath>
#include <numbers>

using namespace vima;

namespace {

const QPointF centre(200, 200);

// Screen radians of a direction given clockwise from straight up.
double screenAngle(double degrees) { return degrees * std::numbers::pi / 180 - std::numbers::pi / 2; }

QPointF polar(double degrees, double radius)
{
    const double angle = screenAngle(degrees);
    return centre + QPointF(radius * std::cos(angle), radius * std::sin(angle));
}

// `distance` points clockwise (negative: anticlockwise) across the boundary
// ray at `degrees`, `radius` from the centre along it.
QPointF besideBoundary(double degrees, double radius, double distance)
{
    const double angle = screenAngle(degrees);
    const QPointF along(std::cos(angle), std::sin(angle));
    const QPointF across(-along.y(), along.x());
    return centre + radius * along + distance * across;
}

std::optional<int> owner(const RingGeometry &geometry, QPointF point)
{
    std::optional<int> found;
    for (int slot = 0; slot < geometry.slotCount; ++slot) {
        if (RingSliceShape{slot, geometry, 3}.contains(point)) {
            if (found)
                return -1; // two slices overlap
            found = slot;
        }
    }
    return found;
}

} // namespace

class TestRingSliceShape : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void hits_data()
    {
        QTest::addColumn<int>("slotCount");
        QTest::addColumn<QPointF>("point");
        QTest::addColumn<std::optional<int>>("slot");
        const auto none = std::optional<int>();
        QTest::newRow("middle of slot 0") << 8 << polar(0, 70) << std::optional(0);
        QTest::newRow("middle of slot 2") << 8 << polar(90, 70) << std::optional(2);
        QTest::newRow("slot 7, left of the top") << 8 << polar(-25, 95) << std::optional(7);
        QTest::newRow("on the boundary") << 8 << polar(22.5, 70) << none;
        QTest::newRow("1 pt clockwise of it") << 8 << besideBoundary(22.5, 70, 1) << none;
        QTest::newRow("1 pt anticlockwise of it") << 8 << besideBoundary(22.5, 70, -1) << none;
        QTest::newRow("2 pt clockwise of it") << 8 << besideBoundary(22.5, 70, 2) << std::optional(1);
        QTest::newRow("2 pt anticlockwise of it") << 8 << besideBoundary(22.5, 70, -2) << std::optional(0);
        QTest::newRow("gap near the inner edge") << 8 << besideBoundary(22.5, 41, 1.4) << none;
        QTest::newRow("centre") << 8 << centre << none;
        QTest::newRow("inside the inner radius") << 8 << polar(0, 39) << none;
        QTest::newRow("beyond the outer radius") << 8 << polar(0, 101) << none;
        QTest::newRow("one slot: anywhere on the band") << 1 << polar(200, 70) << std::optional(0);
        QTest::newRow("one slot: centre") << 1 << centre << none;
        QTest::newRow("two slots: lower half") << 2 << polar(180, 50) << std::optional(1);
        QTest::newRow("24 slots: slot 23") << 24 << polar(-15, 90) << std::optional(23);
    }
    void hits()
    {
        QFETCH(int, slotCount);
        QFETCH(QPointF, point);
        QFETCH(std::optional<int>, slot);
        QCOMPARE(owner(RingGeometry{slotCount, 40, 100, centre}, point), slot);
    }

    // A slice is the ring's own sector for its slot, less the gap, and its
    // drawn path covers the same points.
    void agreesWithTheRingsSectorsAndItsPath()
    {
        for (const int count : {1, 3, 8, 13, 24}) {
            const RingGeometry geometry{count, 40, 100, centre};
            for (int degrees = 0; degrees < 360; degrees += 7) {
                for (const double radius : {45.0, 70.0, 95.0}) {
                    const QPointF point = polar(degrees + 0.3, radius);
                    const std::optional<int> slot = owner(geometry, point);
                    if (!slot)
                        continue;
                    QCOMPARE(slot, geometry.slot(point, 0));
                    QVERIFY((RingSliceShape{*slot, geometry, 3}.path().contains(point)));
                }
            }
        }
    }
};

QTEST_GUILESS_MAIN(TestRingSliceShape)
#include "tst_ringsliceshape.moc"
