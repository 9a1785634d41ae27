// The starter configuration's built-in actions on a real X server: the
// browser ring's keys reach the browser's window, also when the ring opened
// over another one (and each kind of chord arrives as the keys it names), and Snip puts a dragged region on the
// clipboard with a screenshot tool this system has.
#include "AgentHome.h"
#include "AgentProcess.h"
#include "RingGestures.h"
#include "SupportProgram.h"

#include "../support/Await.h"
#include "model/KeyCodes.h"
#include "model/VimaConfig.h"
#include "platform/x11/X11KeySender.h"
#include "store/ConfigStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QTest>
#include <cstdlib>
#include <xcb/xcb.h>

using namespace vima;
using namespace agent_home;
using namespace ring_gestures;

namespace {

constexpr int newTabSlot = 0;
constexpr int mainRingSlot = 0;
constexpr int snipSlot = 3;

bool writeConfig(const VimaConfig &config)
{
    QDir().mkpath(QFileInfo(configPath()).path());
    QFile file(configPath());
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(ConfigStore::encode(config)) > 0;
}

std::optional<QString> browserOf(const VimaConfig &config)
{
    const QList<Ring> rings = config.appRings();
    return rings.isEmpty() ? std::nullopt : rings.first().bundleIDMatch;
}

// A browser's desktop entry, then the starter configuration made for it.
std::optional<VimaConfig> browserConfig()
{
    if (installMarkerApp(QStringLiteral("firefox"), QStringLiteral("Firefox"),
                         markerPath(QStringLiteral("firefox-launched")))
            .isEmpty())
        return std::nullopt;
    VimaConfig config = ConfigStore::makeDefaultConfig();
    const auto browser = browserOf(config);
    if (!browser)
        return std::nullopt;
    const QString entry = installMarkerApp(*browser, QStringLiteral("Browser"), markerPath(QStringLiteral("launched")));
    return entry.isEmpty() ? std::nullopt : std::optional(config);
}

// Whether the click target's window was painted and is in front now.
bool inFront(SupportProgram &window)
{
    const QString ready = window.waitForLine(QStringLiteral("ready "));
    return !ready.isEmpty() &&
           xdotool({QStringLiteral("windowactivate"), QStringLiteral("--sync"), ready.section(u' ', 1)}) == 0;
}

// Whether another client holds the pointer: the screenshot tool is waiting for the drag.
bool pointerHeldByAnother()
{
    xcb_connection_t *connection = xcb_connect(nullptr, nullptr);
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    xcb_grab_pointer_reply_t *reply = xcb_grab_pointer_reply(
        connection,
        xcb_grab_pointer(connection, 0, root, 0, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC, XCB_NONE, XCB_NONE,
                         XCB_CURRENT_TIME),
        nullptr);
    const bool held = reply && reply->status == XCB_GRAB_STATUS_ALREADY_GRABBED;
    if (reply && reply->status == XCB_GRAB_STATUS_SUCCESS)
        xcb_ungrab_pointer(connection, XCB_CURRENT_TIME);
    std::free(reply);
    xcb_disconnect(connection);
    return held;
}

QByteArray clipboard(const QString &target)
{
    QProcess xclip;
    xclip.start(QStringLiteral("xclip"), {QStringLiteral("-selection"), QStringLiteral("clipboard"),
                                          QStringLiteral("-t"), target, QStringLiteral("-o")});
    return xclip.waitForFinished(5000) && xclip.exitCode() == 0 ? xclip.readAllStandardOutput() : QByteArray();
}

} // namespace

class TestLinuxActions : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        QFile::remove(configPath());
        movePointer(summonPoint);
    }

    void browserRingNewTabSendsCtrlTToTheBrowser()
    {
        const auto config = browserConfig();
        QVERIFY(config);
        QVERIFY(writeConfig(*config));

        // A window of that class stands in for the browser, in front.
        SupportProgram window(QStringLiteral("click_target"), {*browserOf(*config), "500", "100", "300", "200"});
        QVERIFY(inFront(window));

        AgentProcess agent;
        QVERIFY(agent.start());
        QVERIFY(chooseSlotByHotkey(newTabSlot));
        QCOMPARE(window.waitForLine(QStringLiteral("key "), 10000), QStringLiteral("key Ctrl+T"));
        QVERIFY(agent.terminate());
    }

    void newTabFromTheMainRingBringsTheBrowserForward()
    {
        auto config = browserConfig();
        QVERIFY(config);
        // The browser ring's New Tab, also on the main ring, as a pack's slot would be.
        RingItem newTab = config->appRings().first().items.at(newTabSlot);
        newTab.id = QUuid::createUuid();
        const QUuid mainRing = config->primaryRing().id;
        for (Ring &ring : config->rings) {
            if (ring.id == mainRing)
                ring.items[mainRingSlot] = newTab;
        }
        QVERIFY(writeConfig(*config));

        // The browser stands behind another application's window.
        SupportProgram browser(QStringLiteral("click_target"), {*browserOf(*config), "500", "100", "300", "200"});
        QVERIFY(inFront(browser));
        SupportProgram other(QStringLiteral("click_target"), {"other", "100", "100", "300", "200"});
        QVERIFY(inFront(other));

        AgentProcess agent;
        QVERIFY(agent.start());
        QVERIFY(chooseSlotByHotkey(mainRingSlot));
        QCOMPARE(browser.waitForLine(QStringLiteral("key "), 10000), QStringLiteral("key Ctrl+T"));
        QVERIFY(agent.terminate());
    }

    void chordsArriveAsTheKeysTheyName_data()
    {
        QTest::addColumn<KeyChord>("chord");
        QTest::addColumn<QString>("arrives");
        QTest::newRow("letter") << KeyChord{QStringLiteral("t"), modifiers::control | modifiers::shift}
                                << "key Ctrl+Shift+T";
        QTest::newRow("shifted character") << KeyChord{QStringLiteral("?"), 0} << "key Shift+?";
        QTest::newRow("key code") << KeyChord{quint32(keys::home), modifiers::option} << "key Alt+Home";
        QTest::newRow("function key") << KeyChord{quint32(keys::f10), 0} << "key F10";
    }

    void chordsArriveAsTheKeysTheyName()
    {
        QFETCH(KeyChord, chord);
        SupportProgram window(QStringLiteral("click_target"), {"probe", "500", "100", "300", "200"});
        QVERIFY(inFront(window));
        X11KeySender keys;
        QVERIFY(vima::test::await(keys.sendChord(chord)));
        QTEST(window.waitForLine(QStringLiteral("key "), 10000), "arrives");
    }

    void snipPutsTheDraggedRegionOnTheClipboard()
    {
        QVERIFY(writeConfig(ConfigStore::makeDefaultConfig()));
        AgentProcess agent;
        QVERIFY(agent.start());
        QVERIFY(chooseSlotByHotkey(snipSlot));
        QTRY_VERIFY_WITH_TIMEOUT(pointerHeldByAnother(), 10000);
        movePointer({100, 100});
        xdotool({QStringLiteral("mousedown"), QStringLiteral("1")});
        for (const QPoint step : {QPoint(150, 130), QPoint(200, 160), QPoint(260, 200)})
            movePointer(step);
        xdotool({QStringLiteral("mouseup"), QStringLiteral("1")});

        QTRY_VERIFY_WITH_TIMEOUT(clipboard(QStringLiteral("TARGETS")).contains("image/png"), 10000);
        const QImage image = QImage::fromData(clipboard(QStringLiteral("image/png")), "PNG");
        QVERIFY(qAbs(image.width() - 160) <= 2);
        QVERIFY(qAbs(image.height() - 100) <= 2);
        QVERIFY(agent.terminate());
    }
};

QTEST_MAIN(TestLinuxActions)
#include "e2e_linuxactions.moc"
