#include "AgentHome.h"
#include "AgentProcess.h"
#include "AtspiClient.h"
#include "RingGestures.h"
#include "WindowArea.h"

#include "model/RingTemplate.h"
#include "store/ConfigStore.h"

#include <QFile>
#include <QRect>
#include <QTest>

using namespace vima;
using namespace agent_home;
using namespace ring_gestures;

namespace {

using Node = AtspiClient::Node;

const QString welcomeTitle = QStringLiteral("Welcome to Tavelon");

void click(QPoint at)
{
    movePointer(at);
    xdotool({QStringLiteral("click"), QStringLiteral("1")});
}

void key(const QString &name) { xdotool({QStringLiteral("key"), name}); }

QStringList primaryTitles(const Ring &ring)
{
    QStringList titles;
    for (const RingItem &item : ring.items)
        titles.append(item.title);
    return titles;
}

QStringList savedPrimaryTitles()
{
    QFile file(configPath());
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return primaryTitles(ConfigStore::decode(file.readAll()).primaryRing());
}

} // namespace

class TestOnboarding : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void firstLaunchInstallsTheChosenRingAndLetsTheUserTryIt()
    {
        // The second card, in the first row: not the default template.
        const RingTemplate &chosen = RingTemplate::all().at(1);
        QVERIFY(chosen.id != RingTemplate::defaultTemplate().id);
        const QStringList expected =
            primaryTitles(chosen.makeRings(VimaConfig().slotCount, VimaConfig().ai.defaultTargetLanguage).first());

        QFile::remove(configPath());
        AgentProcess agent;
        QVERIFY(agent.start());
        QTRY_VERIFY(windowVisible(welcomeTitle));
        QRect window;
        QTRY_VERIFY((window = windowArea({QStringLiteral("-name"), welcomeTitle})).width() == 720);
        click(window.topLeft() + QPoint(360, 10)); // somewhere quiet on the welcome page, for the focus
        key(QStringLiteral("Return"));
        QTest::qWait(300);
        saveScreenshot(QStringLiteral("onboarding-templates.png"));
        // Cards start below the page's header: the middle column, high in the first row.
        click(window.topLeft() + QPoint(360, 170));
        key(QStringLiteral("Return"));
        QTRY_COMPARE(savedPrimaryTitles(), expected);
        // No on-device model here: a new configuration asks the local server.
        QFile saved(configPath());
        QVERIFY(saved.open(QIODevice::ReadOnly));
        const QByteArray json = saved.readAll();
        QVERIFY(json.contains(R"("provider": "ollama")"));
        QVERIFY(json.contains(R"("model": "llama3.2")"));
        QTest::qWait(300);
        saveScreenshot(QStringLiteral("onboarding-ready.png"));

        // X11 grants the permission: "Try It Now" is the last button of the footer.
        click(window.topLeft() + QPoint(window.width() - 60, window.height() - 28));
        QTRY_VERIFY(!windowVisible(welcomeTitle));
        QTRY_VERIFY(ringVisible());
        const QString shown = QStringLiteral("Ring shown: ") + expected.join(QStringLiteral(", "));
        QVERIFY(agent.waitForLog(shown));
        QTest::qWait(300);
        saveScreenshot(QStringLiteral("onboarding-try-ring.png"));
        key(QStringLiteral("Escape"));
        QTRY_VERIFY(!ringVisible());

        movePointer(summonPoint);
        pressHotkey();
        releaseHotkey();
        QTRY_VERIFY(ringVisible());
        QVERIFY(agent.waitForLog(shown));
        QTest::qWait(300);
        saveScreenshot(QStringLiteral("onboarding-hotkey-ring.png"));
        key(QStringLiteral("Escape"));
        QVERIFY(agent.terminate());

        AgentProcess again;
        QVERIFY(again.start());
        QTest::qWait(1000);
        QVERIFY(!windowVisible(welcomeTitle));
        QVERIFY(again.terminate());
    }

    // Xvfb offers XTest: both pages that tell the trust read granted, with
    // nothing left to check again.
    void withXTestTheReadyPageAndThePermissionsTabReadGranted()
    {
        qputenv("QT_LINUX_ACCESSIBILITY_ALWAYS_ON", "1");
        QFile::remove(configPath());
        AgentProcess first;
        QVERIFY(first.start());
        QTRY_VERIFY(windowVisible(welcomeTitle));
        AtspiClient atspi;
        QVERIFY(atspi.isConnected());
        Node app;
        QTRY_VERIFY(!(app = atspi.application(QStringLiteral("tavelon"))).isNull());
        const auto press = [&](const QString &name) {
            Node button;
            QTRY_VERIFY(!(button = atspi.find(app, QStringLiteral("push button"), name)).isNull());
            QVERIFY(atspi.doAction(button, QStringLiteral("Press")));
        };
        const auto readsGranted = [&] {
            QTRY_VERIFY(!atspi.find(app, QStringLiteral("label"), QStringLiteral("Granted")).isNull());
            QVERIFY(atspi.find(app, QStringLiteral("push button"), QStringLiteral("Check Again")).isNull());
        };
        press(QStringLiteral("Next"));
        press(QStringLiteral("Use This Ring"));
        readsGranted();
        QVERIFY(!atspi.find(app, QStringLiteral("push button"), QStringLiteral("Try It Now")).isNull());
        press(QStringLiteral("Done"));
        QTRY_VERIFY(!windowVisible(welcomeTitle));

        AgentProcess opener; // a relaunch opens the settings
        QVERIFY(relaunchOpensSettings(first, opener));
        QTRY_VERIFY(!(app = atspi.application(QStringLiteral("tavelon"))).isNull());
        Node tab;
        QTRY_VERIFY(!(tab = atspi.find(app, QStringLiteral("page tab"), QStringLiteral("Permissions"))).isNull());
        QVERIFY(atspi.doAction(tab, QStringLiteral("Press")));
        readsGranted();
        QVERIFY(opener.terminate());
    }
};

QTEST_MAIN(TestOnboarding)
#include "e2e_onboarding.moc"
