#include "async/FakeScheduler.h"
#include "platform/fake/FakePointerEventTap.h"
#include "services/PointerTriggerMonitor.h"

#include <QTest>

using namespace vima;

namespace {

using Type = PointerEventTap::EventType;
using Waiting = LongPressRecognizer::Waiting;
using Idle = LongPressRecognizer::Idle;
using Recognized = LongPressRecognizer::Recognized;

const QPointF origin(100, 200);

// A started monitor with the default settings and counted callbacks.
struct Rig {
    FakePointerEventTap tap;
    FakeScheduler clock;
    PointerTriggerMonitor monitor{tap, clock};
    QList<QPointF> triggers;
    QList<QPointF> drags;
    int releases = 0;

    Rig()
    {
        monitor.onTrigger = [this](QPointF p) { triggers.append(p); };
        monitor.onRelease = [this] { ++releases; };
        monitor.onDrag = [this](QPointF p) { drags.append(p); };
        monitor.start();
    }

    bool isIdle() const { return std::holds_alternative<Idle>(monitor.recognizer().phase); }
    bool isRecognized() const { return std::holds_alternative<Recognized>(monitor.recognizer().phase); }
};

} // namespace

class TestPointerTriggerMonitor : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void aShortClickPassesThrough()
    {
        Rig rig;
        QVERIFY(!rig.tap.send(Type::rightMouseDown, origin));
        rig.clock.advance(0.1);
        QVERIFY(!rig.tap.send(Type::rightMouseUp, origin));
        QVERIFY(rig.isIdle());
        QCOMPARE(rig.clock.pendingCount(), 0);
        rig.clock.advance(1);
        QVERIFY(rig.triggers.isEmpty());
        QCOMPARE(rig.releases, 0);
    }

    void holdingStillSummonsThenWithholdsTheRest()
    {
        Rig rig;
        QVERIFY(!rig.tap.send(Type::rightMouseDown, origin));
        QCOMPARE(rig.monitor.recognizer().phase, LongPressRecognizer::Phase(Waiting{origin, 0}));
        rig.clock.advance(0.25);
        QCOMPARE(rig.triggers, QList{origin});
        QVERIFY(rig.isRecognized());

        QVERIFY(rig.tap.send(Type::rightMouseDragged, {150, 260}));
        QVERIFY(rig.tap.send(Type::rightMouseDragged, {180, 300}));
        QCOMPARE(rig.drags, (QList<QPointF>{{150, 260}, {180, 300}}));
        QCOMPARE(rig.releases, 0);
        QVERIFY(rig.tap.send(Type::rightMouseUp, {180, 300}));
        QCOMPARE(rig.releases, 1);
        QCOMPARE(rig.triggers.size(), 1);
        QVERIFY(rig.isIdle());
        // The next ordinary click is left alone again.
        QVERIFY(!rig.tap.send(Type::rightMouseDown, origin));
        QVERIFY(!rig.tap.send(Type::rightMouseUp, origin));
        QCOMPARE(rig.releases, 1);
    }

    void moveSlop_data()
    {
        QTest::addColumn<double>("distance");
        QTest::addColumn<bool>("summons");
        QTest::newRow("exactly the slop") << 6.0 << true;
        QTest::newRow("just beyond") << 6.01 << false;
    }

    void moveSlop()
    {
        QFETCH(double, distance);
        QFETCH(bool, summons);
        Rig rig;
        rig.tap.send(Type::rightMouseDown, origin);
        const QPointF moved = origin + QPointF(0, distance);
        QVERIFY(!rig.tap.send(Type::rightMouseDragged, moved));
        QCOMPARE(rig.clock.pendingCount(), summons ? 1 : 0);
        rig.clock.advance(0.3);
        QCOMPARE(rig.triggers.size(), summons ? 1 : 0);
        QCOMPARE(rig.tap.send(Type::rightMouseUp, moved), summons);
        QCOMPARE(rig.releases, summons ? 1 : 0);
    }

    void aDragBeyondTheSlopCancelsForGood()
    {
        Rig rig;
        rig.tap.send(Type::rightMouseDown, origin);
        rig.tap.send(Type::rightMouseDragged, origin + QPointF(20, 0));
        QVERIFY(!rig.tap.send(Type::rightMouseDragged, origin));
        rig.clock.advance(1);
        QVERIFY(rig.triggers.isEmpty());
        QVERIFY(rig.drags.isEmpty());
        QVERIFY(!rig.tap.send(Type::rightMouseUp, origin));
    }

    void aPointerAwayWhenTheTimerFiresEndsThePress()
    {
        Rig rig;
        rig.tap.send(Type::rightMouseDown, origin);
        rig.tap.pointer = origin + QPointF(6.01, 0);
        rig.clock.advance(0.25);
        QVERIFY(rig.triggers.isEmpty());
        QVERIFY(rig.isIdle());
    }

    void aPausedPressGoesOnAsAClick()
    {
        Rig rig;
        bool paused = true;
        rig.monitor.isPaused = [&] { return paused; };
        rig.tap.send(Type::rightMouseDown, origin);
        rig.clock.advance(0.25);
        QVERIFY(rig.triggers.isEmpty());
        QVERIFY(!rig.tap.send(Type::rightMouseDragged, origin));
        QVERIFY(!rig.tap.send(Type::rightMouseUp, origin));
        QCOMPARE(rig.releases, 0);
        paused = false;
        rig.tap.send(Type::rightMouseDown, origin);
        rig.clock.advance(0.25);
        QCOMPARE(rig.triggers.size(), 1);
    }

    void anEarlyTimerWaitsOutTheRest()
    {
        Rig rig;
        // The timer runs on the settings' delay, the check on the recogniser's.
        rig.monitor.setSettings({true, PointerTrigger::Kind::longPressRightClick, 0.1, 6.0});
        rig.tap.send(Type::rightMouseDown, origin);
        rig.clock.advance(0.1);
        QVERIFY(rig.triggers.isEmpty());
        QCOMPARE(rig.clock.pendingCount(), 1);
        rig.clock.advance(0.149);
        QVERIFY(rig.triggers.isEmpty());
        rig.clock.advance(0.001);
        QCOMPARE(rig.triggers.size(), 1);
    }

    void aNewPressRestartsWhateverThePhase()
    {
        Rig rig;
        rig.tap.send(Type::rightMouseDown, origin);
        rig.clock.advance(0.25);
        QVERIFY(rig.isRecognized());
        const QPointF elsewhere(500, 500);
        QVERIFY(!rig.tap.send(Type::rightMouseDown, elsewhere));
        QCOMPARE(rig.monitor.recognizer().phase, LongPressRecognizer::Phase(Waiting{elsewhere, 0.25}));
        QCOMPARE(rig.clock.pendingCount(), 1);
    }

    void startingTwiceMakesOneTap()
    {
        Rig rig;
        rig.monitor.start();
        QCOMPARE(rig.tap.installCalls, 1);
        QVERIFY(rig.monitor.isStarted());
    }

    void stoppingDropsTheTapAndTheTimer()
    {
        FakePointerEventTap tap;
        FakeScheduler clock;
        PointerTriggerMonitor monitor(tap, clock);
        monitor.stop();
        QCOMPARE(tap.installCalls, 0);

        int triggers = 0;
        monitor.onTrigger = [&](QPointF) { ++triggers; };
        monitor.start();
        tap.send(Type::rightMouseDown, origin);
        monitor.stop();
        QVERIFY(!tap.isInstalled());
        clock.advance(1);
        QCOMPARE(triggers, 0);
        // The phase is left as it was.
        QVERIFY(std::holds_alternative<Waiting>(monitor.recognizer().phase));
    }

    void aRefusedTapLeavesTheMonitorStopped()
    {
        FakePointerEventTap tap;
        tap.refuse = true;
        FakeScheduler clock;
        PointerTriggerMonitor monitor(tap, clock);
        QTest::ignoreMessage(QtCriticalMsg, QRegularExpression("long right-click is off"));
        monitor.start();
        QVERIFY(!monitor.isStarted());
        tap.refuse = false;
        monitor.start();
        QVERIFY(monitor.isStarted());
    }

    void anEndedMonitorLetsEverythingPass()
    {
        FakePointerEventTap tap;
        FakeScheduler clock;
        {
            PointerTriggerMonitor monitor(tap, clock);
            monitor.start();
            tap.send(Type::rightMouseDown, origin);
        }
        QVERIFY(!tap.isInstalled());
        QCOMPARE(clock.pendingCount(), 0);
    }
};

QTEST_GUILESS_MAIN(TestPointerTriggerMonitor)
#include "tst_pointertriggermonitor.moc"
