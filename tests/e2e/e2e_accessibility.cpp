#include "AgentHome.h"
#include "AgentProcess.h"
#include "AtspiClient.h"
#include "RingGestures.h"

#include "model/ItemAction.h"
#include "model/RingTemplate.h"
#include "model/VimaConfig.h"
#include "store/ConfigStore.h"

#include <QDir>
#include <QFile>
#include <QTest>

using namespace vima;
using namespace agent_home;
using namespace ring_gestures;

namespace {

using Node = AtspiClient::Node;

VimaConfig saved()
{
    QFile file(configPath());
    return file.open(QIODevice::ReadOnly) ? ConfigStore::decode(file.readAll()) : VimaConfig();
}

// One ring whose "Translate" slot leaves a marker when it runs.
QByteArray translateRing()
{
    const QString script = QStringLiteral("touch \"$HOME/translated\"");
    Ring page{QUuid::createUuid(), QStringLiteral("Test"), std::nullopt, false, std::nullopt, {}};
    page.items.append(RingItem{QUuid::createUuid(), QStringLiteral("Translate"),
                               IconSpec::symbol(QStringLiteral("character.bubble")), 2,
                               ItemAction{ShellPayload{script, QStringLiteral("/bin/sh"), false}}});
    VimaConfig config;
    config.rings = {page};
    return ConfigStore::encode(config);
}

QStringList primaryTitles(const Ring &ring)
{
    QStringList titles;
    for (const RingItem &item : ring.items)
        titles.append(item.title);
    return titles;
}

} // namespace

// The first-run and settings windows operated only through the accessibility
// bus, as a screen reader or voice control does: every action writes the
// configuration and the view shows it.
class TestAccessibility : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { qputenv("QT_LINUX_ACCESSIBILITY_ALWAYS_ON", "1"); }

    void everyAccessibleActionWritesWhatAClickWould()
    {
        const RingTemplate &chosen = RingTemplate::all().at(1);
        QVERIFY(chosen.id != RingTemplate::defaultTemplate().id);
        const QStringList expected =
            primaryTitles(chosen.makeRings(VimaConfig().slotCount, VimaConfig().ai.defaultTargetLanguage).first());

        QFile::remove(configPath());
        AgentProcess first;
        QVERIFY(first.start());
        QTRY_VERIFY(windowVisible(QStringLiteral("Welcome to Tavelon")));
        AtspiClient atspi;
        QVERIFY(atspi.isConnected());
        Node app;
        QTRY_VERIFY(!(app = atspi.application(QStringLiteral("tavelon"))).isNull());

        // First run: a template card pressed through its accessible action.
        Node next;
        QTRY_VERIFY(!(next = atspi.find(app, QStringLiteral("push button"), QStringLiteral("Next"))).isNull());
        QVERIFY(atspi.doAction(next, QStringLiteral("Press")));
        Node card;
        QTRY_VERIFY(!(card = atspi.find(app, [&](const Node &node) { return atspi.name(node) == chosen.name; })).isNull());
        QVERIFY(atspi.doAction(card, QStringLiteral("Toggle")));
        QTRY_VERIFY(atspi.isChecked(card));
        QVERIFY(atspi.doAction(atspi.find(app, QStringLiteral("push button"), QStringLiteral("Use This Ring")),
                               QStringLiteral("Press")));
        QTRY_COMPARE(primaryTitles(saved().primaryRing()), expected);
        Node done;
        QTRY_VERIFY(!(done = atspi.find(app, QStringLiteral("push button"), QStringLiteral("Done"))).isNull());
        QVERIFY(atspi.doAction(done, QStringLiteral("Press")));
        QTRY_VERIFY(!windowVisible(QStringLiteral("Welcome to Tavelon")));

        // Settings, Items tab: a list row selected, its title set, a preview slot pressed.
        AgentProcess opener; // a relaunch opens the settings
        QVERIFY(relaunchOpensSettings(first, opener));
        QTRY_VERIFY(!(app = atspi.application(QStringLiteral("tavelon"))).isNull());
        Node window;
        QTRY_VERIFY(!(window = atspi.find(app, [&](const Node &node) {
                         return atspi.name(node) == QStringLiteral("Tavelon Settings");
                     })).isNull());
        const auto titleField = [&] { return atspi.find(window, QStringLiteral("text"), QStringLiteral("Title")); };
        QTRY_VERIFY(!titleField().isNull());

        Node row;
        QTRY_VERIFY(!(row = atspi.find(window, [&](const Node &node) {
                         return atspi.role(node) == QStringLiteral("list item")
                             && atspi.name(node).startsWith(expected.at(1) + QStringLiteral(","));
                     })).isNull());
        QVERIFY(atspi.doAction(row, QStringLiteral("Toggle")));
        QTRY_COMPARE(atspi.text(titleField()), expected.at(1));
        // The slot picker is announced by its label, not by the slot it holds.
        QVERIFY(!atspi.find(window, QStringLiteral("combo box"), QStringLiteral("Slot")).isNull());
        QVERIFY(atspi.setText(titleField(), QStringLiteral("Spoken")));
        QTRY_COMPARE(saved().primaryRing().items.at(1).title, QStringLiteral("Spoken"));

        Node preview = atspi.find(window, [&](const Node &node) { return atspi.name(node) == QStringLiteral("Ring preview"); });
        QVERIFY(!preview.isNull());
        const QList<Node> slots = atspi.children(preview);
        QVERIFY(!slots.isEmpty());
        QCOMPARE(atspi.name(slots.first()), QStringLiteral("Slot 1, ") + expected.at(0));
        QVERIFY(atspi.doAction(slots.first(), QStringLiteral("Press")));
        QTRY_COMPARE(atspi.text(titleField()), expected.at(0));

        // General tab: a box and a segment toggled.
        QVERIFY(atspi.doAction(atspi.find(window, QStringLiteral("page tab"), QStringLiteral("General")),
                               QStringLiteral("Press")));
        Node contextAware;
        QTRY_VERIFY(!(contextAware = atspi.find(window, QStringLiteral("check box"),
                                                 QStringLiteral("Context-aware rings"))).isNull());
        QVERIFY(atspi.isChecked(contextAware));
        QVERIFY(atspi.doAction(contextAware, QStringLiteral("Toggle")));
        QTRY_VERIFY(!saved().featureFlags.contextAwareRings);
        QVERIFY(!atspi.isChecked(contextAware));

        // Segments are announced within their row, a group named by the row's label.
        const Node slotCounts = atspi.find(window, QStringLiteral("panel"), QStringLiteral("Slots"));
        QVERIFY(!slotCounts.isNull());
        const Node ten = atspi.find(slotCounts, QStringLiteral("check box"), QStringLiteral("10"));
        const Node eight = atspi.find(window, QStringLiteral("check box"), QStringLiteral("8"));
        QVERIFY(atspi.isChecked(eight));
        QVERIFY(atspi.doAction(ten, QStringLiteral("Toggle")));
        QTRY_COMPARE(saved().slotCount, 10);
        QVERIFY(atspi.isChecked(ten));
        QVERIFY(!atspi.isChecked(eight));

        // AI tab, advanced view: the providers are one choice of radio buttons.
        QVERIFY(atspi.doAction(atspi.find(window, QStringLiteral("page tab"), QStringLiteral("AI")),
                               QStringLiteral("Press")));
        Node advanced;
        QTRY_VERIFY(!(advanced = atspi.find(window, QStringLiteral("check box"), QStringLiteral("Advanced"))).isNull());
        QVERIFY(atspi.doAction(advanced, QStringLiteral("Toggle")));
        Node openAI;
        QTRY_VERIFY(!(openAI = atspi.find(window, QStringLiteral("radio button"), QStringLiteral("OpenAI"))).isNull());
        const Node local = atspi.find(window, QStringLiteral("radio button"), QStringLiteral("Ollama (local)"));
        QVERIFY(atspi.isChecked(local));
        QVERIFY(!atspi.isChecked(openAI));
        QVERIFY(atspi.doAction(openAI, QStringLiteral("Toggle")));
        QTRY_COMPARE(saved().ai.provider, LLMProviderKind::openai);
        QTRY_VERIFY(atspi.isChecked(openAI));
        QVERIFY(!atspi.isChecked(local));
        QVERIFY(opener.terminate());
    }

    // A ring that is not on screen exposes nothing showing or visible, and
    // nothing an automation client could press.
    void hiddenRingExposesNothing()
    {
        QDir().mkpath(configFolder());
        QFile file(configPath());
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(translateRing());
        file.close();
        AgentProcess agent;
        QVERIFY(agent.start());
        AtspiClient atspi;
        Node app;
        QTRY_VERIFY(!(app = atspi.application(QStringLiteral("tavelon"))).isNull());
        const auto named = [&](const Node &node) { return atspi.name(node) == QStringLiteral("Translate"); };

        movePointer(summonPoint);
        pressHotkey();
        releaseHotkey();
        QTRY_VERIFY(ringVisible());
        QTRY_VERIFY(!atspi.find(app, QStringLiteral("push button"), QStringLiteral("Translate")).isNull());
        xdotool({QStringLiteral("key"), QStringLiteral("Escape")});
        QTRY_VERIFY(!ringVisible());

        // The slot stays in the tree, as hidden as its window.
        const QList<Node> slots = atspi.findAll(app, named);
        QVERIFY(!slots.isEmpty());
        for (const Node &slot : slots) {
            QVERIFY(!atspi.isShowing(slot));
            QVERIFY(!atspi.isVisible(slot));
            QVERIFY(!atspi.doAction(slot, QStringLiteral("Press")));
        }
        QTest::qWait(300); // a press that did run would have left its marker by now
        QVERIFY(!QFile::exists(markerPath(QStringLiteral("translated"))));
        QVERIFY(agent.terminate());
    }
};

QTEST_MAIN(TestAccessibility)
#include "e2e_accessibility.moc"
