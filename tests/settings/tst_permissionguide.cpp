#include "async/FakeScheduler.h"
#include "settings/kit/PermissionGuideView.h"

#include <QTest>

using namespace vima;

class TestPermissionGuide : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void loopsWhileShownAndStopsWhenHidden()
    {
        FakeScheduler scheduler;
        PermissionGuideView guide(scheduler);
        QCOMPARE(scheduler.pendingCount(), 0);
        guide.show();
        QVERIFY(!guide.isOn());
        scheduler.advance(PermissionGuideView::offSeconds);
        QVERIFY(guide.isOn());
        scheduler.advance(PermissionGuideView::onSeconds);
        QVERIFY(!guide.isOn());
        scheduler.advance(PermissionGuideView::offSeconds);
        QVERIFY(guide.isOn());

        guide.hide();
        QVERIFY(!guide.isLooping());
        QCOMPARE(scheduler.pendingCount(), 0);

        // Shown again: off, and a fresh wait before the first flip.
        guide.show();
        QVERIFY(!guide.isOn());
        scheduler.advance(PermissionGuideView::offSeconds - 0.05);
        QVERIFY(!guide.isOn());
        scheduler.advance(0.05);
        QVERIFY(guide.isOn());
    }

    void twoCopiesLoopIndependently()
    {
        FakeScheduler scheduler;
        PermissionGuideView first(scheduler), second(scheduler);
        first.show();
        scheduler.advance(0.5);
        second.show();
        scheduler.advance(0.4);
        QVERIFY(first.isOn());
        QVERIFY(!second.isOn());
        first.hide();
        scheduler.advance(0.5);
        QVERIFY(second.isOn());
        QCOMPARE(scheduler.pendingCount(), 1);
    }

    void destroyingAShownGuideLeavesNoTimer()
    {
        FakeScheduler scheduler;
        {
            PermissionGuideView guide(scheduler);
            guide.show();
        }
        QCOMPARE(scheduler.pendingCount(), 0);
    }
};

QTEST_MAIN(TestPermissionGuide)
#include "tst_permissionguide.moc"
