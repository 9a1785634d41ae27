#include "AgentHome.h"
#include "AgentProcess.h"
#include "RingGestures.h"

#include "model/VimaConfig.h"
#include "store/ConfigStore.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

using namespace vima;
using namespace agent_home;
using namespace ring_gestures;

namespace {

QJsonObject storedHotkey()
{
    QFile file(configPath());
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QJsonDocument::fromJson(file.readAll()).object().value(QStringLiteral("hotkey")).toObject();
}

} // namespace

class TestSettings : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Settings → General → record Control-Shift-K by keyboard alone; the ring
    // then opens on it and no longer on Option-Space.
    void aRecordedHotkeyReplacesOptionSpace()
    {
        QFile::remove(configPath());
        movePointer(summonPoint);
        AgentProcess first;
        QVERIFY(first.start());
        AgentProcess second; // a relaunch opens the settings
        QVERIFY(relaunchOpensSettings(first, second));
        QTRY_COMPARE(activeWindowPid(), second.pid());

        xdotool({QStringLiteral("key"), QStringLiteral("ctrl+Tab")}); // Items → General
        xdotool({QStringLiteral("key"), QStringLiteral("Tab")});      // the hotkey's button
        xdotool({QStringLiteral("key"), QStringLiteral("space")});    // starts recording
        QTest::qWait(200);
        xkeys(QStringLiteral("keydown"), {QStringLiteral("ctrl"), QStringLiteral("shift"), QStringLiteral("k")});
        xkeys(QStringLiteral("keyup"), {QStringLiteral("k"), QStringLiteral("shift"), QStringLiteral("ctrl")});
        QTRY_COMPARE(storedHotkey().value(QStringLiteral("keyCode")).toInteger(), 40);
        QCOMPARE(storedHotkey().value(QStringLiteral("modifierFlags")).toInteger(), 0x60000);

        xkeys(QStringLiteral("keydown"), {QStringLiteral("ctrl"), QStringLiteral("shift"), QStringLiteral("k")});
        QTRY_VERIFY(ringVisible());
        xkeys(QStringLiteral("keyup"), {QStringLiteral("k"), QStringLiteral("shift"), QStringLiteral("ctrl")});
        xdotool({QStringLiteral("key"), QStringLiteral("Escape")}); // a quick tap left it open
        QTRY_VERIFY(!ringVisible());

        pressHotkey();
        QTest::qWait(500);
        QVERIFY(!ringVisible());
        releaseHotkey();
        QVERIFY(second.terminate());
    }
};

QTEST_MAIN(TestSettings)
#include "e2e_settings.moc"
