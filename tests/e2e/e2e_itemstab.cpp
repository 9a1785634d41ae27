#include "AgentHome.h"
#include "AgentProcess.h"
#include "RingGestures.h"
#include "WindowArea.h"

#include "model/VimaConfig.h"
#include "store/ConfigStore.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRect>
#include <QRegularExpression>
#include <QTest>
#include <cmath>

using namespace vima;
using namespace agent_home;
using namespace ring_gestures;

namespace {

const QString settingsTitle = QStringLiteral("Tavelon Settings");
constexpr int emptySlot = 2;

QString marker() { return markerPath(QStringLiteral("from-items-tab")); }

// One page with its first two slots taken.
VimaConfig testConfig()
{
    VimaConfig config;
    Ring page{QUuid::createUuid(), QStringLiteral("Test"), std::nullopt, false, std::nullopt, {}};
    for (int slot = 0; slot < 2; ++slot)
        page.items.append({QUuid::createUuid(), QStringLiteral("Taken %1").arg(slot),
                           IconSpec::symbol(QStringLiteral("terminal")), slot,
                           ItemAction{ShellPayload{QStringLiteral("true"), QStringLiteral("/bin/sh"), false}}});
    config.rings = {page};
    return config;
}

VimaConfig savedConfig()
{
    QFile file(configPath());
    return file.open(QIODevice::ReadOnly) ? ConfigStore::decode(file.readAll()) : VimaConfig();
}

std::optional<RingItem> savedItemAt(int slot)
{
    const VimaConfig config = savedConfig();
    if (config.rings.isEmpty())
        return std::nullopt;
    for (const RingItem &item : config.rings.first().items) {
        if (item.slot == slot)
            return item;
    }
    return std::nullopt;
}

QString savedScriptAt(int slot)
{
    const std::optional<RingItem> item = savedItemAt(slot);
    const auto *shell = item ? std::get_if<ShellPayload>(&item->action.payload) : nullptr;
    return shell ? shell->script : QString();
}

// The middle of `slot` of an 8-slot preview, from the last place the preview
// logged (its centre in the window and its radii); null when it logged none.
QPoint previewSlotInWindow(const QStringList &log, int slot)
{
    static const QRegularExpression place(QStringLiteral("Ring preview at (\\d+),(\\d+) in the window, radii (\\d+) to (\\d+)"));
    for (qsizetype i = log.size() - 1; i >= 0; --i) {
        const QRegularExpressionMatch match = place.match(log.at(i));
        if (!match.hasMatch())
            continue;
        const double radius = (match.captured(3).toDouble() + match.captured(4).toDouble()) / 2;
        const double angle = 2 * M_PI * slot / 8;
        return QPointF(match.captured(1).toDouble() + std::sin(angle) * radius,
                       match.captured(2).toDouble() - std::cos(angle) * radius)
            .toPoint();
    }
    return {};
}

QString xwininfo(const QStringList &arguments)
{
    QProcess process;
    process.start(QStringLiteral("xwininfo"), arguments);
    return process.waitForFinished(5000) ? QString::fromUtf8(process.readAllStandardOutput()) : QString();
}

// Whether an untitled window of the agent (a popup), exactly `width` wide, is on screen.
bool untitledWindowOfWidth(int width)
{
    const QRegularExpression line(QStringLiteral("(0x[0-9a-f]+) \"Tavelon\": .* %1x\\d+").arg(width));
    auto windows = line.globalMatch(xwininfo({QStringLiteral("-root"), QStringLiteral("-tree")}));
    while (windows.hasNext()) {
        if (xwininfo({QStringLiteral("-id"), windows.next().captured(1)}).contains(QStringLiteral("IsViewable")))
            return true;
    }
    return false;
}

void click(QPoint at)
{
    movePointer(at);
    xdotool({QStringLiteral("click"), QStringLiteral("1")});
}

void press(const QStringList &names)
{
    xdotool(QStringList{QStringLiteral("key"), QStringLiteral("--delay"), QStringLiteral("60")} + names);
}

} // namespace

class TestItemsTabRoad : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void scriptAddedInAnEmptySlotRunsFromTheRing()
    {
        QDir().mkpath(QFileInfo(configPath()).path());
        QFile file(configPath());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(ConfigStore::encode(testConfig()));
        file.close();

        // A second launch ends the first and opens the settings on the Items tab.
        AgentProcess first;
        QVERIFY(first.start());
        AgentProcess agent(QStringLiteral("com.vima.Vima.*.info=true;com.vima.Vima.Settings.debug=true"));
        QVERIFY(agent.start());
        QTRY_VERIFY_WITH_TIMEOUT(windowVisible(settingsTitle), 10000);
        QVERIFY(agent.waitForLog(QStringLiteral("Ring preview at")));
        QRect window;
        QTRY_VERIFY((window = windowArea({QStringLiteral("-name"), settingsTitle})).isValid());
        QTest::qWait(300); // the window manager's last move
        window = windowArea({QStringLiteral("-name"), settingsTitle});
        const QPoint slot = previewSlotInWindow(agent.log(), emptySlot);
        QVERIFY(!slot.isNull());

        click(window.topLeft() + slot);
        QTRY_VERIFY(untitledWindowOfWidth(288));
        saveScreenshot(QStringLiteral("itemstab-chooser.png"));
        // Past both pack rows and the three single actions.
        press({QStringLiteral("Down"), QStringLiteral("Down"), QStringLiteral("Down"), QStringLiteral("Down"),
              QStringLiteral("Down"), QStringLiteral("space")});
        QTRY_VERIFY(!untitledWindowOfWidth(288));
        QTRY_VERIFY(savedItemAt(emptySlot).has_value());
        saveScreenshot(QStringLiteral("itemstab-added.png"));

        // From the preview, past the item's fields and the shell's, to the script.
        press(QStringList(8, QStringLiteral("Tab")));
        const QString script = QStringLiteral("touch \"$HOME/from-items-tab\"");
        xdotool({QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("30"), script});
        QTRY_COMPARE_WITH_TIMEOUT(savedScriptAt(emptySlot), script, 5000);

        QVERIFY(chooseSlotByHotkey(emptySlot));
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(marker()), 5000);
        QVERIFY(agent.terminate());
    }
};

QTEST_MAIN(TestItemsTabRoad)
#include "e2e_itemstab.moc"
