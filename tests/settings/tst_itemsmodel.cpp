#include "SettingsHarness.h"

#include "model/StarterItems.h"
#include "settings/items/AddItemChoice.h"
#include "settings/items/ItemsSettingsModel.h"
#include "settings/items/RingOperations.h"
#include "settings/items/SlotOperations.h"
#include "settings/kit/SlotCountRule.h"

#include <QTest>
#include <limits>

using namespace vima;
using namespace vima::test;

namespace {

using Kind = ItemAction::Kind;
using RingKind = ItemsSettingsModel::RingKind;
using ActiveSheet = ItemsSettingsModel::ActiveSheet;

const QString fullTitle = QStringLiteral("The ring is full.");

QList<RingItem> items(const QList<qint64> &slots)
{
    QList<RingItem> out;
    for (const qint64 slot : slots)
        out.append(shellItem(slot, QStringLiteral("Item %1").arg(slot)));
    return out;
}

QList<qint64> slotsOf(const QList<RingItem> &list)
{
    QList<qint64> out;
    for (const RingItem &item : list)
        out.append(item.slot);
    return out;
}

DesktopApp installedApp(const QString &bundleID, const QString &name)
{
    DesktopApp installed;
    installed.bundleID = bundleID;
    installed.name = name;
    return installed;
}

SavedGroup savedPack(const QString &name)
{
    Ring nested = pack(QStringLiteral("Nested"), {shellItem(0)});
    return {QUuid::createUuid(), name, IconSpec::symbol(QStringLiteral("star")),
            {shellItem(0), opener(1, nested.id)}, {nested}};
}

// The Items tab without widgets, over a real store in a temporary folder.
struct Tab {
    SettingsHarness h;
    ItemsSettingsModel model;
    RingOperations rings;
    SlotOperations slots;

    explicit Tab(const VimaConfig &config)
        : model(h.fixture.open(config), h.catalog)
        , rings(model, h.prompts)
        , slots(model, h.prompts)
    {
    }

    const VimaConfig &config() { return h.store().config(); }
    Ring ring(qsizetype index) { return config().rings.at(index); }
    const FakeUiPrompts::Shown *shown() const { return h.prompts.last(); }
};

VimaConfig withRings(const QList<Ring> &rings, qint64 slotCount = 8)
{
    VimaConfig config;
    config.slotCount = slotCount;
    config.rings = rings;
    return config;
}

} // namespace

class TestItemsModel : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void noRingsShowsAnUnstoredPageAndWritesNothing()
    {
        Tab tab(withRings({}));
        tab.model.seedSelection();
        QVERIFY(!tab.model.isEditedRingStored());
        QCOMPARE(tab.model.selectedRingID(), std::optional(tab.model.editedRing().id));
        QCOMPARE(tab.model.editedRing().name, QStringLiteral("Default"));
        QCOMPARE(tab.model.selectedItemID(), std::nullopt);
        QVERIFY(tab.config().rings.isEmpty());
        QCOMPARE(tab.h.fixture.scheduler.pendingCount(), 0);
    }

    void seedingAndAStaleRing()
    {
        Ring app = ring(QStringLiteral("Editor"), items({0}), false, QStringLiteral("org.example.Editor"));
        Ring page = ring(QStringLiteral("Main"), items({3, 1, 1}));
        Tab tab(withRings({app, page}));
        tab.model.seedSelection();
        QCOMPARE(tab.model.selectedRingID(), std::optional(page.id));
        // Equal slots keep their stored order; the first in that order is seeded.
        QCOMPARE(tab.model.listedItems().at(0).id, page.items.at(1).id);
        QCOMPARE(tab.model.listedItems().at(1).id, page.items.at(2).id);
        QCOMPARE(tab.model.selectedItemID(), std::optional(page.items.at(1).id));

        const QUuid gone = QUuid::createUuid();
        tab.model.selectRing(gone);
        tab.model.seedSelection();
        QCOMPARE(tab.model.editedRing().id, page.id);
        QCOMPARE(tab.model.selectedRingID(), std::optional(gone));
    }

    void upAndDown_data()
    {
        QTest::addColumn<int>("selected"); // -1: nothing, 9: an item of another ring
        QTest::addColumn<int>("delta");
        QTest::addColumn<int>("expected");
        QTest::newRow("nothing, up") << -1 << -1 << 0;
        QTest::newRow("nothing, down") << -1 << 1 << 0;
        QTest::newRow("elsewhere, down") << 9 << 1 << 0;
        QTest::newRow("first, up") << 0 << -1 << 0;
        QTest::newRow("middle, up") << 1 << -1 << 0;
        QTest::newRow("middle, down") << 1 << 1 << 2;
        QTest::newRow("last, down") << 2 << 1 << 2;
    }
    void upAndDown()
    {
        QFETCH(int, selected);
        QFETCH(int, delta);
        QFETCH(int, expected);
        Ring page = ring(QStringLiteral("Main"), items({5, 0, 2}));
        Ring other = ring(QStringLiteral("Other"), items({0}));
        Tab tab(withRings({page, other}));
        tab.model.selectRing(page.id);
        const QList<RingItem> listed = tab.model.listedItems();
        if (selected == 9)
            tab.model.selectItem(other.items.first().id);
        else if (selected >= 0)
            tab.model.selectItem(listed.at(selected).id);
        tab.model.moveSelection(delta);
        QCOMPARE(tab.model.selectedItemID(), std::optional(listed.at(expected).id));
    }

    void deleteRing_data()
    {
        QTest::addColumn<int>("target");
        QTest::addColumn<QString>("message"); // empty: no question
        QTest::addColumn<QString>("informative");
        QTest::newRow("page with one item") << 0 << "Delete the “Main” page?"
                                            << "Its 1 item will be removed. This can't be undone.";
        QTest::newRow("empty page") << 1 << "" << "";
        QTest::newRow("app ring with two items") << 2 << "Delete the “” app ring?"
                                                 << "Its 2 items will be removed. This can't be undone.";
        QTest::newRow("empty app ring") << 3 << "" << "";
        QTest::newRow("pack opened once") << 4 << "Delete “One”?"
                                          << "1 slot opens this pack. Those slots will be removed too.";
        QTest::newRow("pack opened twice") << 5 << "Delete “Two”?"
                                           << "2 slots open this pack. Those slots will be removed too.";
        QTest::newRow("pack nothing opens") << 6 << "" << "";
    }
    void deleteRing()
    {
        QFETCH(int, target);
        QFETCH(QString, message);
        QFETCH(QString, informative);
        Ring one = pack(QStringLiteral("One")), two = pack(QStringLiteral("Two")), none = pack(QStringLiteral("None"));
        const QList<Ring> rings{
            ring(QStringLiteral("Main"), {opener(0, one.id)}),
            ring(QStringLiteral("Empty")),
            ring(QString(), {opener(0, two.id), opener(1, two.id)}, false, QStringLiteral("org.example.A")),
            ring(QStringLiteral("B"), {}, false, QStringLiteral("org.example.B")),
            one, two, none};
        const QUuid targetID = rings.at(target).id;

        // Cancelled: nothing changes.
        Tab tab(withRings(rings));
        tab.model.selectRing(targetID);
        tab.model.selectItem(QUuid::createUuid());
        tab.rings.deleteRing();
        if (!message.isEmpty()) {
            QCOMPARE(tab.shown()->message, message);
            QCOMPARE(tab.shown()->informativeText, informative);
            QCOMPARE(tab.shown()->buttons, (QStringList{"Delete", "Cancel"}));
            QCOMPARE(tab.config().rings, rings);
            tab.h.prompts.confirmations = {true};
            tab.rings.deleteRing();
        } else {
            QCOMPARE(tab.shown(), nullptr);
        }
        QVERIFY(!tab.config().ringWithID(targetID));
        QCOMPARE(tab.model.selectedRingID(), std::optional(tab.config().primaryRing().id));
        QCOMPARE(tab.model.selectedItemID(), std::nullopt);
        QCOMPARE(tab.h.prompts.beeps, 0);
    }

    void theLastPageOnlyBeeps()
    {
        Ring page = ring(QStringLiteral("Main"), items({0}));
        Tab tab(withRings({page, ring(QStringLiteral("App"), {}, false, QStringLiteral("x"))}));
        QVERIFY(!tab.rings.menu().deletePage);
        tab.rings.deleteRing();
        QCOMPARE(tab.h.prompts.beeps, 1);
        QCOMPARE(tab.shown(), nullptr);
        QCOMPARE(tab.config().rings.size(), 2);
    }

    void addAppRing_data()
    {
        QTest::addColumn<QString>("bundleID");
        QTest::addColumn<QString>("message"); // empty: added
        QTest::addColumn<QString>("informative");
        QTest::newRow("new") << "org.example.New" << "" << "";
        QTest::newRow("itself") << VimaConfig::ownBundleIdentifier() << "Tavelon can't have a ring of its own."
                                << "Opening the ring makes Tavelon the frontmost app, so this ring would replace "
                                   "whichever one you actually summoned.";
        QTest::newRow("already has one") << "org.example.Old" << "“Old App” already has a ring."
                                         << "“Untitled” already opens when Old App is frontmost. Edit that one "
                                            "instead.";
    }
    void addAppRing()
    {
        QFETCH(QString, bundleID);
        QFETCH(QString, message);
        QFETCH(QString, informative);
        Ring old = ring(QString(), {}, false, QStringLiteral("org.example.Old"));
        Tab tab(withRings({ring(QStringLiteral("Main")), old}));
        tab.h.prompts.applications = {ChosenApplication{QStringLiteral("Old App"), bundleID, QStringLiteral("/p")}};
        if (bundleID == "org.example.New")
            tab.h.prompts.applications.first()->name = QStringLiteral("New App");
        tab.rings.addAppRing();
        if (message.isEmpty()) {
            const Ring added = tab.config().rings.constLast();
            QCOMPARE(added.name, QStringLiteral("New App"));
            QCOMPARE(added.bundleIDMatch, std::optional(bundleID));
            QCOMPARE(tab.model.selectedRingID(), std::optional(added.id));
            QCOMPARE(tab.h.prompts.beeps, 0);
            return;
        }
        QCOMPARE(tab.h.prompts.beeps, 1);
        QCOMPARE(tab.shown()->message, message);
        QCOMPARE(tab.shown()->informativeText, informative);
        QCOMPARE(tab.config().rings.size(), 2);
        QCOMPARE(tab.model.selectedRingID() == old.id, bundleID == old.bundleIDMatch);
    }

    void renameKeepsTheTextAsTyped()
    {
        Ring app = ring(QStringLiteral("Editor"), {}, false, QStringLiteral("org.example.Editor"));
        Tab tab(withRings({ring(QStringLiteral("Main")), app}));
        tab.h.catalog.install(installedApp(QStringLiteral("org.example.Editor"), QStringLiteral("Text Editor")));
        tab.model.selectRing(app.id);
        tab.h.prompts.texts = {QString(), std::nullopt};
        tab.rings.renameRing();
        QCOMPARE(tab.shown()->message, QStringLiteral("Rename ring"));
        QCOMPARE(tab.shown()->informativeText, QStringLiteral("Still opens for Text Editor."));
        QCOMPARE(tab.shown()->buttons, (QStringList{"Editor", "Rename"}));
        QCOMPARE(tab.ring(1).name, QString());
        QCOMPARE(tab.rings.pickerSections().at(1).entries.first().label, QStringLiteral("Untitled"));

        tab.model.selectRing(tab.ring(0).id);
        tab.rings.renameRing(); // cancelled
        QCOMPARE(tab.shown()->message, QStringLiteral("Rename page"));
        QCOMPARE(tab.shown()->informativeText, QString());
        QCOMPARE(tab.ring(0).name, QStringLiteral("Main"));
    }

    void movingAPageSwapsItWithTheNextPage()
    {
        const QList<Ring> rings{ring("A"), ring("App", {}, false, QStringLiteral("x")), pack("P"), ring("B")};
        Tab tab(withRings(rings));
        tab.model.selectRing(rings.at(0).id);
        QVERIFY(!tab.rings.menu().canMoveUp);
        QVERIFY(tab.rings.menu().canMoveDown);
        tab.rings.moveRing(-1);
        QCOMPARE(tab.config().rings, rings);
        tab.rings.moveRing(+1);
        QCOMPARE(tab.config().rings, (QList<Ring>{rings.at(3), rings.at(1), rings.at(2), rings.at(0)}));
        QCOMPARE(tab.model.editedRing().id, rings.at(0).id);
        QVERIFY(!tab.rings.menu().canMoveDown);
    }

    void slotsMenuWithAnOverrideOutsideTheList()
    {
        Ring page = ring(QStringLiteral("Main"), items({0, 1, 2, 3, 4}));
        page.slotCount = 7;
        Tab tab(withRings({page}, 10));
        const auto entries = [&tab] {
            QStringList labels;
            QList<bool> checked, enabled;
            for (const RingOperations::SlotEntry &entry : tab.rings.slotEntries()) {
                labels << entry.label;
                checked << entry.checked;
                enabled << !entry.refusal;
            }
            return std::tuple{labels, checked, enabled};
        };
        const auto [labels, checked, enabled] = entries();
        QCOMPARE(labels, (QStringList{"Default (10)", "4 slots", "6 slots", "8 slots", "10 slots", "12 slots"}));
        QCOMPARE(checked, (QList<bool>{false, false, false, false, false, false}));
        QCOMPARE(enabled, (QList<bool>{true, false, true, true, true, true}));
        QCOMPARE(tab.rings.slotEntries().at(1).refusal, SlotCountRule::refusal(page, 4));

        tab.h.store().edit([](VimaConfig &config) { config.slotCount = 4; }); // the default would hide one too
        QCOMPARE(std::get<2>(entries()).first(), false);
        tab.h.store().edit([](VimaConfig &config) { config.slotCount = 10; });
        QCOMPARE(tab.model.slotCountText(), QStringLiteral("5 / 7 slots"));

        tab.rings.setSlotCountOverride(std::nullopt);
        QCOMPARE(tab.ring(0).slotCount, std::nullopt);
        QVERIFY(tab.rings.slotEntries().first().checked);

        // A hand-edited count beyond any ring offers what the ring shows; an
        // item beyond it is shown nowhere on the preview.
        tab.h.store().edit([](VimaConfig &config) {
            config.rings[0].slotCount = 1000000000;
            config.rings[0].items[4].slot = std::numeric_limits<qint64>::max();
        });
        QCOMPARE(tab.model.slotCountText(), QStringLiteral("5 / 24 slots"));
        tab.model.selectItem(tab.ring(0).items.at(4).id);
        QCOMPARE(tab.model.highlightedSlot(), std::nullopt);
        QCOMPARE(tab.model.firstFreeSlot(), 4);
    }

    void aFullRingRefuses_data()
    {
        QTest::addColumn<int>("operation");
        for (const Kind kind : ItemAction::allKinds())
            QTest::addRow("new %s", qPrintable(ItemAction::rawValue(kind))) << int(kind);
        QTest::newRow("saved pack") << 10;
        QTest::newRow("all built-in AI actions") << 11;
        QTest::newRow("empty pack from the ring menu") << 12;
    }
    void aFullRingRefuses()
    {
        QFETCH(int, operation);
        Ring page = ring(QStringLiteral("Main"), items({0, 1, 2, 3, 4, 5, 6, 9}));
        VimaConfig config = withRings({page});
        config.savedGroups = {savedPack(QStringLiteral("Saved"))};
        Tab tab(config);
        if (operation == 10)
            tab.slots.insertSavedPack(config.savedGroups.first());
        else if (operation == 11)
            tab.slots.addAllBuiltInAIActions();
        else if (operation == 12)
            tab.slots.addEmptyPack();
        else
            tab.slots.addNewAction(Kind(operation));
        QCOMPARE(tab.h.prompts.beeps, 1);
        QCOMPARE(tab.shown()->message, fullTitle);
        QCOMPARE(tab.shown()->informativeText, QStringLiteral("Remove an item, or raise the slot count on the General tab."));
        QCOMPARE(tab.config(), config);
    }

    void newItemsTakeTheLowestFreeSlotOrTheGivenOne_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<std::optional<qint64>>("slot");
        QTest::addColumn<qint64>("expected");
        QTest::newRow("shell, free slot") << int(Kind::shell) << std::optional<qint64>() << qint64(1);
        QTest::newRow("app at slot 3") << int(Kind::launchApp) << std::optional<qint64>(3) << qint64(3);
        QTest::newRow("pack, free slot") << int(Kind::openRing) << std::optional<qint64>() << qint64(1);
        QTest::newRow("ai at slot 5") << int(Kind::ai) << std::optional<qint64>(5) << qint64(5);
    }
    void newItemsTakeTheLowestFreeSlotOrTheGivenOne()
    {
        QFETCH(int, kind);
        QFETCH(std::optional<qint64>, slot);
        QFETCH(qint64, expected);
        Tab tab(withRings({ring(QStringLiteral("Main"), items({0, 2}))}));
        tab.slots.addNewAction(Kind(kind), slot);
        const RingItem added = tab.ring(0).items.constLast();
        QCOMPARE(added.slot, expected);
        QCOMPARE(added.action.kind(), Kind(kind));
        QCOMPARE(tab.model.selectedItemID(), std::optional(added.id));
        QCOMPARE(tab.h.prompts.beeps, 0);
        if (Kind(kind) == Kind::openRing) {
            const Ring pack = tab.config().rings.constLast();
            QVERIFY(pack.isSubRing && pack.items.isEmpty());
            QCOMPARE(added.action, ItemAction(OpenRingPayload{pack.id}));
            QCOMPARE(tab.model.editedRing().id, tab.ring(0).id);
        }
    }

    void addAllFillsOnlyTheFreeSlots()
    {
        Ring page = ring(QStringLiteral("Main"), items({0, 2, 4, 5, 7}));
        Tab tab(withRings({page}));
        tab.model.selectItem(page.items.first().id);
        tab.slots.addAllBuiltInAIActions();
        const QList<RingItem> added = tab.ring(0).items.mid(5);
        const QList<RingItem> starters = starterItems(0, tab.config().ai.defaultTargetLanguage);
        QCOMPARE(slotsOf(added), (QList<qint64>{1, 3, 6}));
        for (qsizetype index = 0; index < added.size(); ++index)
            QCOMPARE(added.at(index).title, starters.at(index).title);
        QCOMPARE(tab.model.selectedItemID(), std::optional(page.items.first().id));
    }

    void removal_data()
    {
        QTest::addColumn<int>("packItems"); // -1: a plain item
        QTest::addColumn<QString>("informative");
        QTest::newRow("plain item") << -1 << "";
        QTest::newRow("empty pack") << 0 << "The empty pack it opens goes with it. This can't be undone.";
        QTest::newRow("pack of 1") << 1 << "Its pack and the 1 action inside go with it. This can't be undone.";
        QTest::newRow("pack of 3") << 3 << "Its pack and the 3 actions inside go with it. This can't be undone.";
    }
    void removal()
    {
        QFETCH(int, packItems);
        QFETCH(QString, informative);
        Ring inner = pack(QStringLiteral("Inner"), items({0}));
        QList<RingItem> contents = items(QList<qint64>{0, 1, 2}.mid(0, std::max(packItems, 0)));
        if (packItems > 0)
            contents.first() = opener(0, inner.id); // a pack reached only through the removed one
        Ring removedPack = pack(QStringLiteral("Tools"), contents);
        Ring orphan = pack(QStringLiteral("Orphan")); // opened by nothing before
        RingItem target = packItems < 0 ? shellItem(3) : opener(3, removedPack.id);
        target.title = QString();
        Ring page = ring(QStringLiteral("Main"), {shellItem(5), target, shellItem(1)});
        Tab tab(withRings({page, removedPack, inner, orphan}));
        tab.model.selectItem(target.id);

        if (packItems >= 0) {
            tab.slots.removeSelectedItem(); // cancelled
            QCOMPARE(tab.shown()->message, QStringLiteral("Remove “Tools”?"));
            QCOMPARE(tab.shown()->informativeText, informative);
            QCOMPARE(tab.shown()->buttons, (QStringList{"Remove", "Cancel"}));
            QCOMPARE(tab.config().rings.size(), 4);
            tab.h.prompts.confirmations = {true};
        }
        const qsizetype questions = tab.h.prompts.shown.size();
        tab.slots.removeSelectedItem();
        QCOMPARE(tab.h.prompts.shown.size(), questions + (packItems >= 0 ? 1 : 0));
        QCOMPARE(slotsOf(tab.ring(0).items), (QList<qint64>{5, 1}));
        QCOMPARE(tab.model.selectedItemID(), std::optional(page.items.at(2).id));
        QList<QUuid> left;
        for (const Ring &ring : tab.config().rings)
            left << ring.id;
        QList<QUuid> expected{page.id};
        if (packItems < 0)
            expected << removedPack.id;
        if (packItems <= 0)
            expected << inner.id;
        expected << orphan.id;
        QCOMPARE(left, expected);
    }

    void removingTheLastItemSelectsNothing()
    {
        Ring page = ring(QStringLiteral("Main"), items({2}));
        Tab tab(withRings({page}));
        tab.slots.selectSlot(2);
        tab.slots.removeSelectedItem();
        QVERIFY(tab.ring(0).items.isEmpty());
        QCOMPARE(tab.model.selectedItemID(), std::nullopt);
    }

    void assignSlotSwapsWithinTheCapacity()
    {
        Ring page = ring(QStringLiteral("Main"), items({1, 3}));
        Tab tab(withRings({page}));
        tab.slots.assignSlot(3); // nothing selected
        QCOMPARE(slotsOf(tab.ring(0).items), (QList<qint64>{1, 3}));
        tab.slots.selectSlot(1);
        tab.slots.assignSlot(3);
        QCOMPARE(slotsOf(tab.ring(0).items), (QList<qint64>{3, 1}));
        tab.slots.assignSlot(9);
        QCOMPARE(slotsOf(tab.ring(0).items), (QList<qint64>{3, 1}));
    }

    void aSavedPackIsInstalledWithFreshIds()
    {
        const SavedGroup saved = savedPack(QString());
        VimaConfig config = withRings({ring(QStringLiteral("Main"), items({0}))});
        config.savedGroups = {saved};
        Tab tab(config);
        tab.slots.insertSavedPack(saved, 4);
        const QList<Ring> rings = tab.config().rings;
        QCOMPARE(rings.size(), 3);
        const Ring installed = rings.at(1), nested = rings.at(2);
        const RingItem opener = rings.at(0).items.constLast();
        QCOMPARE(opener.title, QString());
        QCOMPARE(opener.slot, 4);
        QCOMPARE(opener.action, ItemAction(OpenRingPayload{installed.id}));
        QCOMPARE(tab.model.selectedItemID(), std::optional(opener.id));
        QVERIFY(installed.isSubRing);
        QVERIFY(installed.id != saved.id && nested.id != saved.nestedRings.first().id);
        QVERIFY(installed.items.first().id != saved.items.first().id);
        QCOMPARE(installed.items.at(1).action, ItemAction(OpenRingPayload{nested.id}));
        QCOMPARE(tab.config().savedGroups, config.savedGroups);
    }

    void editorWritesReplaceByIdInTheEditedRingOnly()
    {
        Ring page = ring(QStringLiteral("Main"), items({0, 1}));
        Ring other = ring(QStringLiteral("Other"), items({0}));
        Tab tab(withRings({page, other}));
        tab.model.selectRing(page.id);
        tab.model.selectItem(page.items.at(1).id);
        const QByteArray before = readAll(tab.h.fixture.file());

        RingItem typed = page.items.at(1);
        for (const QString title : {"a", "ab", "abc"}) {
            typed.title = title;
            tab.model.writeEditedItem(typed);
            tab.h.fixture.scheduler.advance(0.3);
            QCOMPARE(readAll(tab.h.fixture.file()), before); // still typing
        }
        QCOMPARE(tab.ring(0).items.at(1).title, QStringLiteral("abc"));
        tab.h.fixture.scheduler.advance(0.2);
        QCOMPARE(ConfigStore::decode(readAll(tab.h.fixture.file())).rings.first().items.at(1).title,
                 QStringLiteral("abc"));

        // Gone from the edited ring, or on another ring: nothing is written.
        const VimaConfig settled = tab.config();
        RingItem stale = other.items.first();
        stale.title = QStringLiteral("stale");
        tab.model.writeEditedItem(stale);
        tab.h.store().removeItems({typed.id}, page.id);
        typed.title = QStringLiteral("late");
        tab.model.writeEditedItem(typed);
        QCOMPARE(tab.ring(1), settled.rings.at(1));
        QCOMPARE(tab.ring(0).items.size(), 1);
    }

    void chooserLines()
    {
        QList<AddItemChoice> lines = addItemChoices(0, {});
        QCOMPARE(lines.first().title, QStringLiteral("Add to slot 1"));
        QCOMPARE(lines.constLast().title, QStringLiteral("Run a shell script"));
        QList<Kind> kinds;
        for (const AddItemChoice &line : lines) {
            if (line.kind == AddItemChoice::Kind::newItem)
                kinds << line.itemKind;
        }
        QCOMPARE(kinds, (QList<Kind>{Kind::ai, Kind::open, Kind::launchApp, Kind::shell}));

        const SavedGroup first = savedPack(QString()), second = savedPack(QStringLiteral("B"));
        lines = addItemChoices(3, {first, second});
        QCOMPARE(lines.first().title, QStringLiteral("Add to slot 4"));
        QCOMPARE(lines.at(lines.size() - 3).title, QStringLiteral("Your saved packs"));
        QCOMPARE(lines.at(lines.size() - 2).pack, first);
        QCOMPARE(lines.constLast().pack, second);
    }

    void chooserChoicesCloseItFirst()
    {
        Ring page = ring(QStringLiteral("Main"), items({0}));
        Tab tab(withRings({page}));
        const QList<AddItemChoice> lines = addItemChoices(5, {});
        const auto line = [&](AddItemChoice::Kind kind) {
            return *std::find_if(lines.cbegin(), lines.cend(), [&](const AddItemChoice &l) { return l.kind == kind; });
        };

        tab.slots.selectSlot(5);
        QCOMPARE(tab.model.addAtSlot(), std::optional<qint64>(5));
        tab.slots.choose(line(AddItemChoice::Kind::buildPack), 5);
        QCOMPARE(tab.model.addAtSlot(), std::nullopt);
        QCOMPARE(tab.model.activeSheet(), std::nullopt); // one turn later
        QTRY_COMPARE(tab.model.activeSheet(), std::optional(ActiveSheet{ActiveSheet::Kind::buildPack, 5}));
        QCOMPARE(tab.model.activeSheet()->id(), QStringLiteral("buildPack-5"));

        tab.model.setActiveSheet(std::nullopt);
        tab.slots.selectSlot(5);
        tab.slots.choose(line(AddItemChoice::Kind::browse), 5);
        QCOMPARE(tab.model.addAtSlot(), std::nullopt);
        QCOMPARE(tab.model.activeSheet(), std::optional(ActiveSheet{ActiveSheet::Kind::library}));

        tab.slots.selectSlot(5);
        tab.slots.choose(line(AddItemChoice::Kind::newItem), 5);
        QCOMPARE(tab.model.addAtSlot(), std::nullopt);
        QCOMPARE(tab.ring(0).items.constLast().slot, 5);

        tab.slots.selectSlot(0); // occupied: selects, offers nothing
        QCOMPARE(tab.model.selectedItemID(), std::optional(page.items.first().id));
        QCOMPARE(tab.model.addAtSlot(), std::nullopt);
    }

    void sheetsAreOpenedWithTheEditedRing()
    {
        RingItem app{QUuid::createUuid(), QString(), IconSpec::emoji(QStringLiteral("🙂")), 0,
                     ItemAction{LaunchAppPayload{}}};
        RingItem named = app;
        named.id = QUuid::createUuid();
        named.title = QStringLiteral("Mail");
        named.slot = 1;
        named.action = ItemAction{LaunchAppPayload{QStringLiteral("org.example.Mail"), {}}};
        Ring page = ring(QString(), {app, named, shellItem(2)});
        Tab tab(withRings({page}));
        tab.h.catalog.install(installedApp(QStringLiteral("org.example.Mail"), QStringLiteral("Mailer")));
        QCOMPARE(tab.model.buildPackParentName(), QStringLiteral("Ring"));
        tab.h.store().edit([](VimaConfig &config) { config.rings[0].name = QStringLiteral("😀").repeated(1'000'000); });
        QVERIFY(tab.model.buildPackParentName().size() < 1'000); // cut before the sheet lays it out

        tab.model.selectItem(app.id);
        auto target = tab.model.appActionsTarget();
        QCOMPARE(target->bundleID, QString());
        QCOMPARE(target->appName, QStringLiteral("App"));
        QCOMPARE(target->appIcon, app.icon);
        tab.model.selectItem(named.id);
        target = tab.model.appActionsTarget();
        QCOMPARE(target->appName, QStringLiteral("Mailer"));
        QCOMPARE(target->appIcon, IconSpec::appIcon(QStringLiteral("org.example.Mail")));
        QCOMPARE(target->ringID, page.id);

        // Without a launch-app item the picker is not opened at all.
        for (const std::optional<QUuid> &id : {std::optional(page.items.at(2).id), std::optional<QUuid>()}) {
            tab.model.selectItem(id);
            tab.model.requestSheet({ActiveSheet::Kind::appActions});
            QCOMPARE(tab.model.activeSheet(), std::nullopt);
        }

        const RingItem packOpener = opener(0, QUuid::createUuid());
        tab.model.appActionsCreated(packOpener);
        QCOMPARE(tab.model.selectedRingID(), std::optional(std::get<OpenRingPayload>(packOpener.action.payload).ringID));
        QCOMPARE(tab.model.selectedItemID(), std::nullopt);
    }

    void anEmptyPackWithNoPageStoredGoesOnANewPage()
    {
        Tab tab(withRings({}));
        tab.model.seedSelection();
        tab.slots.addEmptyPack();
        const QList<Ring> rings = tab.config().rings;
        QCOMPARE(rings.size(), 2);
        QCOMPARE(rings.at(0).name, QStringLiteral("Default"));
        QVERIFY(rings.at(1).isSubRing);
        QVERIFY(rings.at(1).items.isEmpty());
        QCOMPARE(rings.at(0).items.first().action, ItemAction(OpenRingPayload{rings.at(1).id}));
        QCOMPARE(tab.model.editedRing().id, rings.at(0).id);
        QCOMPARE(tab.model.selectedItem(), std::optional(rings.at(0).items.first()));
    }
};

QTEST_MAIN(TestItemsModel)
#include "tst_itemsmodel.moc"
