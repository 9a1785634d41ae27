#include "AgentHome.h"
#include "AgentProcess.h"
#include "DesktopSettings.h"
#include "RingGestures.h"

#include "settings/items/ItemsSettingsView.h"
#include "settings/library/ActionLibraryView.h"

#include <QAction>
#include <QFile>
#include <QListView>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTest>

using namespace vima;
using namespace vima::test;
using namespace agent_home;
using namespace ring_gestures;

namespace {

QString launchedMarker() { return markerPath("launched-from-library"); }
const QString appID = "org.example.LibraryMarker";

QModelIndex rowOf(const QAbstractItemModel &model, const QString &title)
{
    for (int row = 0; row < model.rowCount(); ++row) {
        if (model.index(row, 0).data().toString() == title)
            return model.index(row, 0);
    }
    return {};
}

} // namespace

class TestLibraryRoad : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void appTickedInTheLibraryIsStoredAndLaunched()
    {
        QVERIFY(!installMarkerApp(appID, "Library Marker", launchedMarker()).isEmpty());
        VimaConfig config;
        config.rings = {ring("Main")};

        {
            SettingsHarness harness;
            useAgentStore(harness, config);
            const SettingsContext &fakes = harness.context();
            auto catalog = std::make_shared<XdgApplicationCatalog>();
            SettingsContext context = withDesktopCatalog(fakes, fakes.prompts, catalog);
            ItemsSettingsView tab(context);
            tab.resize(800, 600);
            tab.show();
            QVERIFY(QTest::qWaitForWindowExposed(&tab));

            Q_EMIT tab.addMenu()->aboutToShow(); // filled as it opens
            QAction *browse = nullptr;
            for (QAction *action : tab.addMenu()->actions()) {
                if (action->text() == QStringLiteral("Browse Library…"))
                    browse = action;
            }
            QVERIFY(browse);
            browse->trigger();
            QTRY_VERIFY(tab.findChild<ActionLibraryView *>());
            auto *library = tab.findChild<ActionLibraryView *>();
            QVERIFY(QTest::qWaitForWindowExposed(library));

            auto *sidebar = library->findChild<QListWidget *>(QStringLiteral("librarySidebar"));
            sidebar->setFocus();
            QTest::keyClick(sidebar, Qt::Key_End); // Apps, the last category
            auto *list = library->findChild<QListView *>(QStringLiteral("libraryList"));
            QTRY_VERIFY(rowOf(*list->model(), QStringLiteral("Library Marker")).isValid());
            const QModelIndex entry = rowOf(*list->model(), QStringLiteral("Library Marker"));
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(entry).center());
            for (auto *button : library->findChildren<QPushButton *>()) {
                if (button->text() == QStringLiteral("Add to Ring"))
                    QTest::mouseClick(button, Qt::LeftButton);
            }
            QTRY_VERIFY(!tab.findChild<ActionLibraryView *>() || !tab.findChild<ActionLibraryView *>()->isVisible());

            // The debounced save writes the file.
            QTRY_VERIFY_WITH_TIMEOUT(
                !ConfigStore::decode(readAll(configPath())).rings.first().items.isEmpty(), 5000);
            const RingItem stored = ConfigStore::decode(readAll(configPath())).rings.first().items.first();
            QCOMPARE(stored.slot, 0);
            QCOMPARE(stored.title, QStringLiteral("Library Marker"));
        }

        AgentProcess agent;
        QVERIFY(agent.start());
        QVERIFY(chooseSlotByHotkey(0));
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(launchedMarker()), 5000);
        QVERIFY(agent.terminate());
    }
};

QTEST_MAIN(TestLibraryRoad)
#include "e2e_library.moc"
