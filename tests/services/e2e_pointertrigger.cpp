#include "SupportProgram.h"
#include "platform/x11/X11PointerEventTap.h"
#include "services/PointerTriggerMonitor.h"

#include <QApplication>
#include <QTest>

using namespace vima;

namespace {

int xdotool(const QStringList &arguments) { return SupportProgram::run(QStringLiteral("xdotool"), arguments); }

} // namespace

class TestPointerTriggerE2E : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void longPressesSummonAndShortClicksReachTheApplication()
    {
        SupportProgram target(QStringLiteral("click_target"), {"probe", "200", "200", "400", "300"});
        QVERIFY(!target.waitForLine(QStringLiteral("ready")).isEmpty());

        X11PointerEventTap tap;
        PointerTriggerMonitor monitor(tap);
        QList<QPointF> triggers, drags;
        int releases = 0;
        monitor.onTrigger = [&](QPointF at) { triggers.append(at); };
        monitor.onDrag = [&](QPointF at) { drags.append(at); };
        monitor.onRelease = [&] { ++releases; };
        monitor.start();
        QVERIFY(monitor.isStarted());

        // A short click is replayed to the window under the pointer.
        QCOMPARE(xdotool({"mousemove", "400", "350", "click", "3"}), 0);
        QCOMPARE(target.nextLine(), QStringLiteral("press 3 400 350"));
        QCOMPARE(target.nextLine(), QStringLiteral("release 3"));
        QVERIFY(triggers.isEmpty());

        // A long press summons; its drags and release stay with us.
        QCOMPARE(xdotool({"mousedown", "3"}), 0);
        QTRY_COMPARE(triggers.size(), 1);
        QCOMPARE(triggers.first(), QPointF(400, 350));
        QCOMPARE(xdotool({"mousemove", "450", "380"}), 0);
        QTRY_VERIFY(!drags.isEmpty());
        QCOMPARE(drags.last(), QPointF(450, 380));
        QCOMPARE(xdotool({"mouseup", "3"}), 0);
        QTRY_COMPARE(releases, 1);

        // The next thing the window hears of is the next click.
        QCOMPARE(xdotool({"click", "3"}), 0);
        QCOMPARE(target.nextLine(), QStringLiteral("press 3 450 380"));
        QCOMPARE(target.nextLine(), QStringLiteral("release 3"));
        QCOMPARE(triggers.size(), 1);
    }

    void aPressThatWandersOffIsReplayedAsADrag()
    {
        SupportProgram target(QStringLiteral("click_target"), {"probe", "200", "200", "400", "300"});
        QVERIFY(!target.waitForLine(QStringLiteral("ready")).isEmpty());
        X11PointerEventTap tap;
        PointerTriggerMonitor monitor(tap);
        int triggers = 0;
        monitor.onTrigger = [&](QPointF) { ++triggers; };
        monitor.start();

        QCOMPARE(xdotool({"mousemove", "300", "300", "mousedown", "3", "mousemove", "360", "300"}), 0);
        QCOMPARE(xdotool({"mouseup", "3"}), 0);
        QCOMPARE(target.nextLine(), QStringLiteral("press 3 300 300"));
        QCOMPARE(target.nextLine(), QStringLiteral("release 3"));
        QCOMPARE(triggers, 0);
    }

    void aStoppedMonitorLeavesClicksAlone()
    {
        SupportProgram target(QStringLiteral("click_target"), {"probe", "200", "200", "400", "300"});
        QVERIFY(!target.waitForLine(QStringLiteral("ready")).isEmpty());
        X11PointerEventTap tap;
        PointerTriggerMonitor monitor(tap);
        monitor.start();
        monitor.stop();
        QCOMPARE(xdotool({"mousemove", "250", "250", "mousedown", "3"}), 0);
        QCOMPARE(target.nextLine(), QStringLiteral("press 3 250 250"));
        QCOMPARE(xdotool({"mouseup", "3"}), 0);
        QCOMPARE(target.nextLine(), QStringLiteral("release 3"));
    }
};

QTEST_MAIN(TestPointerTriggerE2E)
#include "e2e_pointertrigger.moc"
