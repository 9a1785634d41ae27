#include "Gallery.h"

#include "SettingsHarness.h"
#include "model/StarterItems.h"
#include "settings/library/ActionLibraryView.h"
#include "settings/packs/PackAddPanel.h"
#include "settings/packs/PackBuilderView.h"
#include "settings/packs/SavedGroupsView.h"

#include <QLineEdit>
#include <QListWidget>
#include <QScreen>

using namespace vima;

namespace {

AppScan someApps()
{
    return []() -> QCoro::Task<QList<InstalledApp>> {
        co_return QList<InstalledApp>{{"Text Editor", "org.example.Editor", "/e.desktop"},
                                      {"Browser", "org.example.Browser", "/b.desktop"},
                                      {"zoom", "us.zoom", "/z.desktop"}};
    };
}

VimaConfig sampleConfig()
{
    VimaConfig config;
    config.rings = {test::ring(QStringLiteral("Everyday"), starterItems(0, QStringLiteral("French")).mid(0, 5))};
    config.savedGroups = {{QUuid::createUuid(), QStringLiteral("Writing"), IconSpec::symbol(QStringLiteral("pencil")),
                           starterItems(0, {}).mid(0, 2), {}},
                          {QUuid::createUuid(), QString(), IconSpec::symbol(QStringLiteral("star")),
                           starterItems(0, {}).mid(0, 1), {}}};
    return config;
}

void drawLibrary(test::SettingsHarness &harness, const QUuid &ringID)
{
    const auto shot = [&](const QString &query, const QString &name) {
        ActionLibraryView view(harness.context(), ringID, someApps());
        view.show();
        view.model().toggleSelection(ActionPreset::all().first().id);
        view.findChild<QLineEdit *>(QStringLiteral("librarySearch"))->setText(query);
        gallery::save(view, name);
    };
    shot(QString(), QStringLiteral("library-all"));
    shot(QStringLiteral("mail"), QStringLiteral("library-search"));
    shot(QStringLiteral("no such action"), QStringLiteral("library-empty"));
}

void drawBuilder(test::SettingsHarness &harness, const QUuid &ringID)
{
    PackBuilderView view(harness.context(), {ringID, QStringLiteral("Everyday"), 5, {}}, someApps());
    view.show();
    PackBuilderModel &model = view.model();
    model.addItemOfKind(ItemAction::Kind::ai);
    model.addItemOfKind(ItemAction::Kind::open);
    model.addNestedPack();
    model.addLibraryPreset(ActionPreset::all().at(3));
    harness.fixture.scheduler.advance(1); // the preview draws after its first layout
    gallery::save(view, QStringLiteral("builder-items-warning"));

    model.setTargetText(model.items().at(1).id, QStringLiteral("https://example.org"));
    model.saveAsGroup();
    gallery::save(view, QStringLiteral("builder-saved"));

    model.openAddPanel();
    gallery::save(view.addPanel(), QStringLiteral("builder-panel-root"));
    model.showLibraryPage();
    model.setLibQuery(QStringLiteral("text"));
    gallery::save(view.addPanel(), QStringLiteral("builder-panel-library"));
    model.showAppsPage();
    gallery::save(view.addPanel(), QStringLiteral("builder-panel-apps"));
    model.setSelectedApp(model.filteredApps().first());
    gallery::save(view.addPanel(), QStringLiteral("builder-panel-shortcuts"));
    model.closeAddPanel();

    // Against the screen's right edge: the panel opens on the other side.
    const QRect screen = view.screen()->availableGeometry();
    view.move(screen.right() - view.frameGeometry().width() + 1, screen.top() + 40);
    model.openAddPanel();
    gallery::saveScreen(QStringLiteral("builder-panel-at-the-edge"));
    model.closeAddPanel();
}

void drawSavedPacks(test::SettingsHarness &harness)
{
    SavedGroupsView list(harness.context());
    list.show();
    gallery::save(list, QStringLiteral("saved-packs"));
    harness.store().edit([](VimaConfig &config) { config.savedGroups.clear(); });
    gallery::save(list, QStringLiteral("saved-packs-empty"));
}

void drawPacks()
{
    test::SettingsHarness harness;
    harness.fixture.open(sampleConfig());
    const QUuid ringID = harness.store().config().rings.first().id;
    drawLibrary(harness, ringID);
    drawBuilder(harness, ringID);
    drawSavedPacks(harness);
}

const gallery::Pictures pictures("packs", drawPacks);

} // namespace
