#include "AgentHome.h"
#include "AgentProcess.h"
#include "DesktopSettings.h"
#include "ItemEditorHost.h"
#include "RingGestures.h"

#include "platform/x11/QtSystemBeep.h"
#include "settings/items/ApplicationChooser.h"
#include "settings/items/ItemEditorView.h"
#include "settings/items/ItemKindSection.h"
#include "ui/QtUiPrompts.h"

#include <QApplication>
#include <QFile>
#include <QPushButton>
#include <QTest>

using namespace vima;
using namespace vima::test;
using namespace agent_home;
using namespace ring_gestures;

namespace {

QString launchedMarker() { return markerPath("launched"); }
const QString appID = "org.example.MarkerMaker";

} // namespace

class TestItemEditorRoad : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void chosenApplicationIsStoredAndLaunchedByTheAgent()
    {
        const QString desktopFile = installMarkerApp(appID, "Marker Maker", launchedMarker());
        QVERIFY(!desktopFile.isEmpty());
        RingItem slot{QUuid::createUuid(), "Open App", IconSpec::symbol("app"), 2, ItemAction{LaunchAppPayload{}}};
        VimaConfig config;
        config.rings = {ring("Main", {slot})};
        const QUuid ringID = config.rings.first().id;

        // The editor on a real store, with the real chooser over the XDG folders.
        {
            SettingsHarness harness;
            useAgentStore(harness, config);
            const SettingsContext &fakes = harness.context();
            QtSystemBeep beep;
            QtUiPrompts prompts(beep);
            auto catalog = std::make_shared<XdgApplicationCatalog>();
            prompts.applicationChooser = [catalog](QWidget *parent) {
                return ApplicationChooser::choose(parent, catalog, nullptr);
            };
            SettingsContext context = withDesktopCatalog(fakes, prompts, catalog);
            ItemEditorView view(context);
            ItemEditorHost host(harness.store(), view, ringID, slot.id);
            view.resize(600, 700);
            view.show();
            QVERIFY(QTest::qWaitForWindowExposed(&view));

            view.findChild<ItemKindSection *>()->findChild<QPushButton *>()->click();
            QTRY_VERIFY(qobject_cast<ApplicationChooser *>(QApplication::activeModalWidget()));
            auto *chooser = qobject_cast<ApplicationChooser *>(QApplication::activeModalWidget());
            QTRY_VERIFY(chooser->model().isLoaded());
            QTRY_VERIFY(chooser->isActiveWindow());
            xdotool({"type", "--delay", "30", "marker"});
            xdotool({"key", "Return"});
            QTRY_COMPARE(host.stored().action, ItemAction(LaunchAppPayload{appID, desktopFile}));

            // The debounced save writes the file.
            QTRY_VERIFY(ConfigStore::decode(readAll(configPath())).rings.first().items.first()
                        == host.stored());
            QCOMPARE(host.stored().title, "Marker Maker");
            QCOMPARE(host.stored().icon, IconSpec::appIcon(appID));
        }

        AgentProcess agent;
        agent.closeAtStart(1); // what it launches still gets an output of its own
        QVERIFY(agent.start());
        QVERIFY(chooseSlotByHotkey(2));
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(launchedMarker()), 5000);
        QVERIFY(agent.terminate());
    }
};

QTEST_MAIN(TestItemEditorRoad)
#include "e2e_itemeditor.moc"
