#include "TestDoubles.h"
#include "actions/ActionRunner.h"
#include "actions/ClipboardLane.h"
#include "actions/KeystrokeRoad.h"
#include "async/FakeScheduler.h"
#include "model/KeyCodes.h"
#include "model/KeystrokeScript.h"
#include "platform/fake/FakeAccessibility.h"
#include "platform/fake/FakeAppleScriptEngine.h"
#include "platform/fake/FakeApplicationActivator.h"
#include "platform/fake/FakeApplicationCatalog.h"
#include "platform/fake/FakeApplicationLauncher.h"
#include "platform/fake/FakeDesktopOpener.h"
#include "platform/fake/FakeKeySender.h"
#include "platform/fake/FakePasteboard.h"

#include <QTest>

using namespace vima;

namespace {

const RunningApplication firefox{31, QStringLiteral("firefox"), QStringLiteral("Firefox"), 7};
const RunningApplication editor{32, QStringLiteral("org.gnome.TextEditor"), QStringLiteral("Text Editor"), 8};
const KeyChord ctrlT{QStringLiteral("t"), modifiers::control};

RingItem newTab()
{
    return test::item(QStringLiteral("New Tab"),
                      {AppleScriptPayload{keystrokeScript(ctrlT, QStringLiteral("firefox")), false}});
}

} // namespace

class TestKeystrokeRoad : public QObject {
    Q_OBJECT

    FakeApplicationCatalog catalog;
    FakeApplicationLauncher launcher;
    FakeDesktopOpener opener;
    FakeAppleScriptEngine appleScript;
    ScriptRunner scripts{catalog, launcher, opener, appleScript};
    FakeAccessibility accessibility;
    FakePasteboard pasteboard;
    FakeKeySender keys;
    FakeApplicationActivator activator;
    FakeScheduler scheduler;
    ClipboardLane lane{scheduler};
    std::unique_ptr<ActionRunner> runner;
    std::unique_ptr<KeystrokeRoad> road;
    QList<ActionOutcome> outcomes;

    void runToEnd(const RingItem &item, const ActionRunner::Target &target)
    {
        runner->run(item, target);
        scheduler.advance(5);
    }

private Q_SLOTS:
    void init()
    {
        appleScript = {};
        accessibility = {};
        keys = {};
        activator = {};
        outcomes.clear();
        runner = std::make_unique<ActionRunner>(scripts);
        runner->present = [this](const ActionOutcome &outcome) { outcomes.append(outcome); };
        road = std::make_unique<KeystrokeRoad>(*runner,
                                               DesktopAccess{accessibility, pasteboard, keys, activator, scheduler, lane},
                                               catalog);
    }

    void keysGoToTheApplicationsWindow_data()
    {
        QTest::addColumn<ActionRunner::Target>("target");
        QTest::addColumn<QList<RunningApplication>>("open");
        QTest::addColumn<RunningApplication>("to");
        // When the window manager gets round to raising it; 0: at once.
        QTest::addColumn<double>("raisedAfter");
        RunningApplication olderFirefox = firefox;
        olderFirefox.window = 5;
        QTest::newRow("the one the ring opened over") << ActionRunner::Target(firefox)
                                                      << QList<RunningApplication>{olderFirefox} << firefox << 0.0;
        QTest::newRow("its newest, from another application")
            << ActionRunner::Target(editor) << QList<RunningApplication>{olderFirefox, firefox} << firefox << 0.0;
        QTest::newRow("its newest, from no application")
            << ActionRunner::Target() << QList<RunningApplication>{olderFirefox, firefox} << firefox << 0.0;
        QTest::newRow("a window manager slow to raise it")
            << ActionRunner::Target(editor) << QList<RunningApplication>{firefox} << firefox << 2.5;
        // The ring for "firefox" opens over these too; a newer "firefox" window stays untouched.
        const RunningApplication esr{41, QStringLiteral("firefox-esr"), QStringLiteral("Firefox ESR"), 9,
                                     {QStringLiteral("Navigator"), QStringLiteral("Firefox-esr")}};
        RunningApplication esrByClass = esr;
        esrByClass.bundleID.clear();
        for (const RunningApplication &over : {esr, esrByClass})
            QTest::addRow("opened over %s", over.bundleID.isEmpty() ? "a class of it" : "another id of it")
                << ActionRunner::Target(over) << QList<RunningApplication>{over, firefox} << over << 0.0;
    }

    void keysGoToTheApplicationsWindow()
    {
        QFETCH(ActionRunner::Target, target);
        QFETCH(QList<RunningApplication>, open);
        QFETCH(RunningApplication, to);
        QFETCH(double, raisedAfter);
        activator.open = open;
        activator.activePid = editor.pid; // something took the front meanwhile
        if (raisedAfter > 0) {
            activator.activation = FakeApplicationActivator::Activation::isIgnored;
            scheduler.schedule(raisedAfter, [this, to] {
                activator.activePid = to.pid;
                activator.activeWindow = to.window;
            });
        }
        runToEnd(newTab(), target);
        QCOMPARE(activator.activated, QList<qint64>{to.pid});
        QCOMPARE(activator.activeWindow, to.window);
        QCOMPARE(keys.chords, QList<KeyChord>{ctrlT});
        QVERIFY(outcomes.isEmpty());
        QVERIFY(appleScript.sources.isEmpty());
    }

    void nothingIsSentWhereTheKeysDontBelong_data()
    {
        QTest::addColumn<ActionRunner::Target>("target");
        QTest::addColumn<bool>("firefoxOpen");
        QTest::addColumn<bool>("trusted");
        QTest::addColumn<FakeApplicationActivator::Activation>("activation");
        QTest::addColumn<bool>("canSend");
        QTest::addColumn<QString>("says");
        using A = FakeApplicationActivator::Activation;
        const ActionRunner::Target none;
        QTest::newRow("no window of it open") << ActionRunner::Target(editor) << false << true << A::raises << true
                                              << "“Firefox”, which has no window open";
        QTest::newRow("nothing open at all") << none << false << true << A::raises << true << "no window open";
        QTest::newRow("its window won't come forward") << ActionRunner::Target(editor) << true << true << A::isIgnored
                                                       << true << "didn't come to the front";
        QTest::newRow("window gone") << ActionRunner::Target(firefox) << false << true << A::isRefused << true
                                     << "you started from isn't in front";
        QTest::newRow("no XTest") << ActionRunner::Target(firefox) << false << true << A::raises << false << "XTest";
        QTest::newRow("not trusted") << ActionRunner::Target(firefox) << false << false << A::raises << true << "";
    }

    void nothingIsSentWhereTheKeysDontBelong()
    {
        QFETCH(ActionRunner::Target, target);
        QFETCH(QString, says);
        QFETCH(bool, canSend);
        QFETCH(bool, trusted);
        QFETCH(bool, firefoxOpen);
        accessibility.trusted = trusted;
        QFETCH(FakeApplicationActivator::Activation, activation);
        activator.activation = activation;
        if (firefoxOpen)
            activator.open = {firefox};
        keys.canSend = canSend;
        runToEnd(newTab(), target);
        QVERIFY(keys.chords.isEmpty());
        QCOMPARE(outcomes.size(), 1);
        QCOMPARE(outcomes[0].style, ActionOutcome::Style::failure);
        QVERIFY2(outcomes[0].body.contains(says), qPrintable(outcomes[0].body));
        QVERIFY(appleScript.sources.isEmpty());
    }

    void otherScriptsStillGoToAppleScript()
    {
        const RingItem other = test::item(QStringLiteral("Old"), {AppleScriptPayload{QStringLiteral("beep"), false}});
        runToEnd(other, firefox);
        QCOMPARE(appleScript.sources, QStringList{QStringLiteral("beep")});
        QVERIFY(keys.chords.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestKeystrokeRoad)
#include "tst_keystrokeroad.moc"
