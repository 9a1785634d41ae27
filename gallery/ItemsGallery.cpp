#include "Gallery.h"

#include "SettingsHarness.h"
#include "model/StarterItems.h"
#include "settings/SettingsWindow.h"
#include "settings/items/AddItemChooser.h"
#include "settings/items/ItemDetailPane.h"
#include "settings/items/ItemsSettingsModel.h"
#include "settings/items/ItemsSettingsView.h"
#include "settings/items/SlotOperations.h"
#include "settings/kit/RingPreviewView.h"

using namespace vima;

namespace {

// A page, two app rings (one installed, one not), a pack, a full ring and a
// saved pack: every form of the Items tab.
VimaConfig sampleConfig()
{
    VimaConfig config;
    Ring tools = test::pack(QStringLiteral("Dev tools"), {test::shellItem(0, QStringLiteral("Build")),
                                                           test::shellItem(1, QStringLiteral("Test"))});
    QList<RingItem> pageItems = starterItems(0, QStringLiteral("French"));
    pageItems.append(test::opener(6, tools.id));
    pageItems.last().title = QStringLiteral("Dev tools");
    Ring page = test::ring(QStringLiteral("Everyday"), pageItems);
    Ring installed = test::ring(QStringLiteral("Text Editor"), {test::shellItem(0, QStringLiteral("Word count"))},
                                false, QStringLiteral("org.example.Editor"));
    Ring missing = test::ring(QStringLiteral("Old App"), {}, false, QStringLiteral("org.example.Gone"));
    QList<RingItem> full;
    for (qint64 slot = 0; slot < 6; ++slot)
        full.append(test::shellItem(slot, QStringLiteral("Script %1").arg(slot + 1)));
    Ring fullRing = test::ring(QStringLiteral("Full & busy"), full);
    fullRing.slotCount = 6;
    config.rings = {page, installed, missing, tools, fullRing};
    config.savedGroups = {{QUuid::createUuid(), QStringLiteral("Writing"), IconSpec::symbol(QStringLiteral("pencil")),
                           starterItems(0, {}).mid(0, 2), {}},
                          {QUuid::createUuid(), QString(), IconSpec::symbol(QStringLiteral("star")), {}, {}}};
    return config;
}

void drawItems()
{
    test::SettingsHarness harness;
    harness.fixture.open(sampleConfig());
    DesktopApp editor;
    editor.bundleID = QStringLiteral("org.example.Editor");
    editor.name = QStringLiteral("Text Editor");
    harness.catalog.install(editor);
    const QList<Ring> rings = harness.store().config().rings;
    const auto shot = [&](int ring, bool selectFirst, const QString &name) {
        ItemsSettingsView view(harness.context());
        view.resize(900, 640);
        view.model().selectRing(rings.at(ring).id);
        if (selectFirst)
            view.model().selectFirstItem();
        view.show();
        harness.fixture.scheduler.advance(1);
        gallery::save(view, name);
    };
    shot(0, true, QStringLiteral("items-page"));
    shot(1, true, QStringLiteral("items-app-ring-installed"));
    shot(2, false, QStringLiteral("items-app-ring-missing"));
    shot(3, true, QStringLiteral("items-pack"));
    shot(4, true, QStringLiteral("items-full-ring"));
    harness.store().edit([](VimaConfig &config) {
        config.rings.first().items.first().title = QStringLiteral("Translate into Brazilian Portuguese, formal register");
    });
    shot(0, true, QStringLiteral("items-long-title"));

    // The chooser on the page of a window at its smallest, where the detail pane scrolls.
    ItemsSettingsView view(harness.context());
    view.resize(SettingsWindow::smallestSize);
    view.show();
    harness.fixture.scheduler.advance(1);
    view.slots().selectSlot(7);
    AddItemChooser &chooser = *view.detail()->chooser();
    gallery::saveScreen(QStringLiteral("items-chooser-at-its-slot"));
    gallery::save(chooser, QStringLiteral("items-chooser"));
    chooser.hide();

    RingPreviewView &preview = *view.detail()->preview();
    view.slots().selectSlot(2);
    harness.fixture.scheduler.advance(1);
    gallery::save(preview, QStringLiteral("items-preview-highlighted"));
}

const gallery::Pictures pictures("items", drawItems);

} // namespace
