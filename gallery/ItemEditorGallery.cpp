#include "Gallery.h"

#include "ItemEditorHost.h"
#include "SettingsHarness.h"
#include "platform/fake/FakeApplicationCatalog.h"
#include "settings/items/AppActionPickerView.h"
#include "settings/items/ApplicationChooser.h"
#include "settings/items/ItemEditorModel.h"
#include "settings/items/ItemEditorView.h"

using namespace vima;

namespace {

RingItem slot(qint64 index, const QString &title, const IconSpec &icon, const ItemAction &action)
{
    return {QUuid::createUuid(), title, icon, index, action};
}

DesktopApp app(const QString &id, const QString &name)
{
    DesktopApp installed;
    installed.bundleID = id;
    installed.name = name;
    installed.filePath = QStringLiteral("/usr/share/applications/") + id + QStringLiteral(".desktop");
    return installed;
}

// The slot editor for each kind of action, a pack that is gone, the three
// icon modes; the per-app action picker and the application chooser.
void drawItemEditor()
{
    test::SettingsHarness harness;
    const Ring writing = test::pack(QStringLiteral("Writing"), {test::shellItem(0), test::shellItem(1)});
    const QList<std::pair<QString, RingItem>> shots{
        {QStringLiteral("item-editor-app"),
         slot(0, QStringLiteral("Text Editor"), IconSpec::appIcon(QStringLiteral("org.gnome.TextEditor")),
              ItemAction{LaunchAppPayload{QStringLiteral("org.gnome.TextEditor"), std::nullopt}})},
        {QStringLiteral("item-editor-open"),
         slot(1, QStringLiteral("Documents"), IconSpec::emoji(QStringLiteral("📚")),
              ItemAction{OpenPayload{QStringLiteral("~/Documents")}})},
        {QStringLiteral("item-editor-shell"),
         slot(2, QStringLiteral("Build"), IconSpec::symbol(QStringLiteral("terminal")),
              ItemAction{ShellPayload{QStringLiteral("make -j8"), QStringLiteral("/bin/zsh"), true}})},
        {QStringLiteral("item-editor-applescript"),
         slot(3, QString(), IconSpec::symbol(QStringLiteral("no.such.symbol")),
              ItemAction{AppleScriptPayload{QStringLiteral("display dialog \"Hi\""), false}})},
        {QStringLiteral("item-editor-ai"),
         slot(4, QStringLiteral("Summarize"), IconSpec::symbol(QStringLiteral("sparkles")),
              ItemAction::defaultAction(ItemAction::Kind::ai))},
        {QStringLiteral("item-editor-pack"),
         slot(5, QStringLiteral("More"), IconSpec::symbol(QStringLiteral("circle.grid.cross")),
              ItemAction{OpenRingPayload{writing.id}})},
        {QStringLiteral("item-editor-pack-missing"),
         slot(6, QStringLiteral("Gone"), IconSpec::symbol(QStringLiteral("circle.grid.cross")),
              ItemAction{OpenRingPayload{QUuid::createUuid()}})},
    };
    VimaConfig config;
    QList<RingItem> items;
    for (const auto &shot : shots)
        items << shot.second;
    config.rings = {test::ring(QStringLiteral("Main"), items), writing};
    harness.fixture.open(config);
    const QUuid ringID = config.rings.first().id;

    ItemEditorView view(harness.context());
    view.onTurnIntoSubRing = [] {};
    view.resize(620, 860);
    for (const auto &[name, item] : shots) {
        test::ItemEditorHost host(harness.store(), view, ringID, item.id);
        gallery::save(view, name);
    }
    // The icon modes (symbol with an unknown name above, on the AppleScript slot).
    test::ItemEditorHost host(harness.store(), view, ringID, shots.at(1).second.id);
    gallery::save(view, QStringLiteral("item-editor-icon-emoji"));
    view.model().pickIconKind(IconSpec::Kind::appIcon);
    gallery::save(view, QStringLiteral("item-editor-icon-app-empty"));

    AppActionPickerView picker(harness.context(),
                               {ringID, items.first().id, QStringLiteral("org.mozilla.firefox"),
                                QStringLiteral("Firefox"), IconSpec::symbol(QStringLiteral("app"))},
                               &view);
    gallery::save(picker, QStringLiteral("app-action-picker"));
    picker.hide();

    auto catalog = std::make_shared<FakeApplicationCatalog>(QList<DesktopApp>{
        app(QStringLiteral("org.gnome.TextEditor"), QStringLiteral("Text Editor")),
        app(QStringLiteral("firefox"), QStringLiteral("Firefox")),
        app(QStringLiteral("org.gnome.Nautilus"), QStringLiteral("Files"))});
    ApplicationChooser chooser(catalog, &harness.context().appIcons, &view);
    chooser.model().setApps(InstalledApp::scan(*catalog)); // without waiting for the worker's list
    gallery::save(chooser, QStringLiteral("application-chooser"));
}

const gallery::Pictures pictures("items", drawItemEditor);

} // namespace
