#include "SettingsHarness.h"

#include "ring/RingViewModel.h"
#include "settings/kit/RingPreviewView.h"

#include <QTest>
#include <cmath>
#include <numbers>

using namespace vima;
using namespace vima::test;

namespace {

// The middle of `slot`'s slice in the preview's own coordinates.
QPointF sliceMiddle(const RingPreviewView &preview, int slot)
{
    const RingGeometry geometry = preview.viewModel().geometry(preview.size());
    const double angle = 2 * std::numbers::pi * slot / geometry.slotCount - std::numbers::pi / 2;
    const double radius = (geometry.innerRadius + geometry.outerRadius) / 2;
    return geometry.center + QPointF(radius * std::cos(angle), radius * std::sin(angle));
}

struct Preview {
    SettingsHarness harness;
    RingPreviewView view{harness.context()};
    QList<int> taps;

    explicit Preview(qint64 slotCount, bool clickable = true)
    {
        if (clickable)
            view.onSlotTapped = [this](int slot) { taps.append(slot); };
        view.resize(400, 300);
        view.setRing(ring(QStringLiteral("Page"), {shellItem(0)}), slotCount, Appearance{});
        view.show();
    }

    void click(QPointF point) { QTest::mouseClick(&view, Qt::LeftButton, {}, point.toPoint()); }
};

} // namespace

class TestRingPreview : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void clicksCountOnlyInsideASlice_data()
    {
        QTest::addColumn<double>("degrees"); // clockwise from straight up
        QTest::addColumn<double>("radius");  // 0.5: halfway across the band
        QTest::addColumn<QList<int>>("taps");
        QTest::newRow("slot 3") << 135.0 << 0.5 << QList<int>{3};
        QTest::newRow("gap between 0 and 1") << 22.5 << 0.5 << QList<int>{};
        QTest::newRow("centre disc") << 0.0 << -0.3 << QList<int>{};
        QTest::newRow("outside") << 0.0 << 1.2 << QList<int>{};
    }
    void clicksCountOnlyInsideASlice()
    {
        QFETCH(double, degrees);
        QFETCH(double, radius);
        QFETCH(QList<int>, taps);
        Preview p(8);
        const RingGeometry geometry = p.view.viewModel().geometry(p.view.size());
        const double distance = geometry.innerRadius + radius * (geometry.outerRadius - geometry.innerRadius);
        const double angle = degrees * std::numbers::pi / 180 - std::numbers::pi / 2;
        p.click(geometry.center + distance * QPointF(std::cos(angle), std::sin(angle)));
        QCOMPARE(p.taps, taps);
    }

    // One area per slot the ring draws: at least one, never more than 24
    // stacked on the same slices.
    void slotAreas_data()
    {
        QTest::addColumn<qint64>("slotCount");
        QTest::addColumn<bool>("clickable");
        QTest::addColumn<int>("areas");
        QTest::newRow("8") << qint64(8) << true << 8;
        QTest::newRow("0") << qint64(0) << true << 1;
        QTest::newRow("30") << qint64(30) << true << 24;
        QTest::newRow("no callback") << qint64(8) << false << 0;
    }
    void slotAreas()
    {
        QFETCH(qint64, slotCount);
        QFETCH(bool, clickable);
        QFETCH(int, areas);
        Preview p(slotCount, clickable);
        QCOMPARE(p.view.slotAreaCount(), areas);
        QList<int> expected;
        for (int slot = 0; slot < std::max(areas, 1); ++slot) {
            p.click(sliceMiddle(p.view, slot));
            if (areas > 0)
                expected.append(slot);
        }
        QCOMPARE(p.taps, expected);
    }

    void reloadsByValueAndKeepsTheHighlight()
    {
        Preview p(8);
        RingViewModel &model = p.view.viewModel();
        p.view.setHighlightedSlot(2);
        Appearance appearance;
        appearance.innerRadius = 50;
        appearance.outerRadius = 150;
        appearance.sizeScale = 1.5;
        const Ring shown = model.stack().constFirst();
        p.view.setRing(shown, 6, appearance);
        QCOMPARE(model.appearance().innerRadius, 41.0);
        QCOMPARE(model.appearance().outerRadius, 123.0);
        QCOMPARE(model.appearance().sizeScale, 1.5);
        QCOMPARE(model.globalSlotCount(), 6);
        QCOMPARE(model.hoveredSlot(), std::optional(2));
        QVERIFY(model.isPresented());

        // Only the highlight moves; the same inputs change nothing.
        model.setKeyboardFocusSlot(4);
        p.view.setHighlightedSlot(std::nullopt);
        p.view.setRing(shown, 6, appearance);
        QCOMPARE(model.hoveredSlot(), std::nullopt);
        QCOMPARE(model.keyboardFocusSlot(), std::optional(4));
    }

    void keyboardTapsTheFocusedSlot()
    {
        Preview p(8);
        p.view.setFocus();
        QTest::keyClick(&p.view, Qt::Key_Left);
        QTest::keyClick(&p.view, Qt::Key_Space);
        QTest::keyClick(&p.view, Qt::Key_Right);
        QTest::keyClick(&p.view, Qt::Key_Right);
        QTest::keyClick(&p.view, Qt::Key_Return);
        QCOMPARE(p.taps, (QList<int>{7, 1}));
    }
};

QTEST_MAIN(TestRingPreview)
#include "tst_ringpreview.moc"
