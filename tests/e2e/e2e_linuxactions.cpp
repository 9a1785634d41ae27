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
#include <QRegularExpression>
#include <QTest>

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

// The region that maim's selection tool (slop) outlines: from where it took
// the press to where it last saw the pointer, or before a press the window
// under the pointer. Its outline is a window shaped to the region and a
// 1-pixel border, mapped once the tool holds the pointer.
std::optional<QRect> outlinedRegion()
{
    QProcess search;
    search.start(QStringLiteral("xdotool"), {QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                                             QStringLiteral("--class"), QStringLiteral("^slop$")});
    if (!search.waitForFinished(5000) || search.exitCode() != 0)
        return std::nullopt;
    const QString window = QString::fromLatin1(search.readAllStandardOutput().split('\n').first());
    QProcess info;
    info.start(QStringLiteral("xwininfo"), {QStringLiteral("-id"), window, QStringLiteral("-shape")});
    if (!info.waitForFinished(5000) || info.exitCode() != 0)
        return std::nullopt;
    static const QRegularExpression extents(
        QStringLiteral(R"(Window shape extents:\s+(\d+)x(\d+)\+(-?\d+)\+(-?\d+))"));
    const QRegularExpressionMatch found = extents.match(QString::fromLatin1(info.readAllStandardOutput()));
    if (!found.hasMatch())
        return std::nullopt;
    const int x = found.captured(3).toInt(), y = found.captured(4).toInt();
    return QRect(QPoint(x + 1, y + 1), QPoint(x + found.captured(1).toInt() - 2, y + found.captured(2).toInt() - 2));
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
        // The press must go to the tool, not to the ring.
        QTRY_VERIFY2_WITH_TIMEOUT(!ringVisible() && outlinedRegion(), "no selection outline from maim", 30000);
        movePointer({100, 100});
        xdotool({QStringLiteral("mousedown"), QStringLiteral("1")});
        // The tool takes the press where the pointer is when it gets round to
        // it: small moves past its 2-pixel threshold until it shows a drag,
        // which says where that was; then on in steps, each shown before the next.
        std::optional<QPoint> start;
        for (int step = 1; !start && step <= 10; ++step) {
            const QPoint at = QPoint(100, 100) + QPoint(3, 3) * step;
            movePointer(at);
            std::optional<QRect> region;
            if (QTest::qWaitFor([&] { return (region = outlinedRegion()) && region->bottomRight() == at; }, 2000))
                start = region->topLeft();
        }
        QVERIFY(start);
        for (int step = 1; step <= 4; ++step) {
            const QPoint at = *start + QPoint(160, 100) * step / 4;
            movePointer(at);
            QTRY_COMPARE_WITH_TIMEOUT(outlinedRegion().value_or(QRect()), QRect(*start, at), 30000);
        }
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
