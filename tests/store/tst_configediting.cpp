#include "StoreTestSupport.h"

#include "model/RingTemplate.h"

#include <QSignalSpy>
#include <QTest>
#include <limits>

using namespace vima;
using namespace vima::test;

using Slots = QList<qint64>;

namespace {

constexpr qint64 maxSlot = std::numeric_limits<qint64>::max();

Slots slotsOf(const Ring &ring)
{
    Slots result;
    for (const RingItem &item : ring.items)
        result.append(item.slot);
    return result;
}

QList<Ring> itemsAt(const Slots &slots)
{
    QList<RingItem> items;
    for (qint64 slot : slots)
        items.append(shellItem(slot));
    return {ring(QStringLiteral("Main"), items)};
}

QStringList ringNames(const QList<Ring> &rings)
{
    QStringList names;
    for (const Ring &ring : rings)
        names.append(ring.name);
    return names;
}

} // namespace

class TestConfigEditing : public QObject {
    Q_OBJECT

    StoreFixture *fixture = nullptr;

    ConfigStore &open(const QList<Ring> &rings, qint64 slotCount = 8)
    {
        delete fixture;
        fixture = new StoreFixture;
        VimaConfig config;
        config.slotCount = slotCount;
        config.rings = rings;
        return fixture->open(config);
    }
    const QList<Ring> &rings() const { return fixture->store->config().rings; }
    qsizetype pendingSaves() const { return fixture->scheduler.pendingCount(); }

private Q_SLOTS:
    void cleanup()
    {
        delete fixture;
        fixture = nullptr;
    }

    void primaryRingIsCreatedWhenThereIsNoPage()
    {
        const Ring appRing = ring(QStringLiteral("Editor"), {}, false, QStringLiteral("org.editor"));
        ConfigStore &store = open({pack(QStringLiteral("P")), appRing});
        const RingItem item = shellItem(0);
        store.appendItem(item, QUuid::createUuid()); // an id no ring has
        QCOMPARE(ringNames(rings()), QStringList({"Default", "P", "Editor"}));
        QCOMPARE(rings().first().items, QList<RingItem>{item});
        QVERIFY(!rings().first().isSubRing);
        QCOMPARE(rings().first().bundleIDMatch, std::nullopt);
        QCOMPARE(pendingSaves(), 1);
        QCOMPARE(store.primaryRingIndex(), 0); // found, not made again
        QCOMPARE(rings().size(), 3);
    }

    void appendItemKeepsItsIdAndSlot()
    {
        const Ring target = pack(QStringLiteral("P"));
        ConfigStore &store = open({ring(QStringLiteral("Main")), target});
        const RingItem item = shellItem(40);
        store.appendItem(item, target.id);
        QCOMPARE(rings().at(1).items, QList<RingItem>{item});
    }

    void normalizeSlots_data()
    {
        QTest::addColumn<std::optional<qint64>>("capacity");
        QTest::addColumn<Slots>("before");
        QTest::addColumn<Slots>("after");
        QTest::newRow("duplicates and beyond") << std::optional<qint64>(4) << Slots{2, 2, 9} << Slots{2, 0, 1};
        QTest::newRow("full ring") << std::optional<qint64>(2) << Slots{0, 1, 5, 1, -3} << Slots{0, 1, 5, 6, 7};
        QTest::newRow("own count of zero") << std::optional<qint64>(0) << Slots{3, 0} << Slots{0, 1};
        QTest::newRow("global count") << std::optional<qint64>() << Slots{7, 7, -1} << Slots{7, 0, 1};
        QTest::newRow("near the largest slot") << std::optional<qint64>(2)
            << Slots{0, 1, maxSlot, -1, maxSlot} << Slots{0, 1, maxSlot, 2, 3};
    }
    void normalizeSlots()
    {
        QFETCH(std::optional<qint64>, capacity);
        QFETCH(Slots, before);
        QFETCH(Slots, after);
        QList<Ring> start = itemsAt(before);
        start.first().slotCount = capacity;
        ConfigStore &store = open(start);
        store.normalizeSlots();
        QCOMPARE(slotsOf(rings().first()), after);
        QCOMPARE(pendingSaves(), 1);
    }

    void normalizingNothingNeitherPublishesNorSaves()
    {
        ConfigStore &store = open({ring(QStringLiteral("Main")), pack(QStringLiteral("P"))});
        QSignalSpy changed(&store, &ConfigStore::configChanged);
        store.normalizeSlots();
        QCOMPARE(changed.size(), 0);
        QCOMPARE(pendingSaves(), 0);
    }

    void setRingSlotCountNormalizes()
    {
        QList<Ring> start = itemsAt({0, 5});
        ConfigStore &store = open(start);
        store.setRingSlotCount(3, start.first().id);
        QCOMPARE(rings().first().slotCount, 3);
        QCOMPARE(slotsOf(rings().first()), Slots({0, 1}));
        store.setRingSlotCount(std::nullopt, start.first().id);
        QCOMPARE(rings().first().slotCount, std::nullopt);
    }

    void moveItem_data()
    {
        QTest::addColumn<Slots>("before");
        QTest::addColumn<qsizetype>("moving");
        QTest::addColumn<qint64>("slot");
        QTest::addColumn<Slots>("after");
        QTest::newRow("to a free slot") << Slots{0, 1} << qsizetype(0) << qint64(5) << Slots{5, 1};
        QTest::newRow("swap") << Slots{0, 1, 2} << qsizetype(0) << qint64(2) << Slots{2, 1, 0};
        QTest::newRow("onto its own slot") << Slots{3, 3} << qsizetype(0) << qint64(3) << Slots{3, 3};
        QTest::newRow("onto a shared slot") << Slots{0, 4, 4} << qsizetype(0) << qint64(4) << Slots{4, 0, 4};
    }
    void moveItem()
    {
        QFETCH(Slots, before);
        QFETCH(qsizetype, moving);
        QFETCH(qint64, slot);
        QFETCH(Slots, after);
        const QList<Ring> start = itemsAt(before);
        ConfigStore &store = open(start);
        store.moveItem(start.first().items.at(moving).id, slot, start.first().id);
        QCOMPARE(slotsOf(rings().first()), after);
        QCOMPARE(pendingSaves(), 1);
    }

    void moveItemRefusals_data()
    {
        QTest::addColumn<std::optional<qint64>>("capacity");
        QTest::addColumn<qint64>("slot");
        QTest::addColumn<bool>("knownItem");
        QTest::newRow("negative slot") << std::optional<qint64>() << qint64(-1) << true;
        QTest::newRow("slot at capacity") << std::optional<qint64>() << qint64(8) << true;
        QTest::newRow("own count of zero") << std::optional<qint64>(0) << qint64(0) << true;
        QTest::newRow("past the slots a ring shows") << std::optional<qint64>(1000) << qint64(24) << true;
        QTest::newRow("unknown item") << std::optional<qint64>() << qint64(2) << false;
    }
    void moveItemRefusals()
    {
        QFETCH(std::optional<qint64>, capacity);
        QFETCH(qint64, slot);
        QFETCH(bool, knownItem);
        QList<Ring> start = itemsAt({0, 1});
        start.first().slotCount = capacity;
        ConfigStore &store = open(start);
        const VimaConfig before = store.config();
        store.moveItem(knownItem ? start.first().items.first().id : QUuid::createUuid(), slot);
        QCOMPARE(store.config(), before);
        QCOMPARE(pendingSaves(), 0);
    }

    void removingAnOpenerRemovesThePacksOnlyItReached()
    {
        const Ring second = pack(QStringLiteral("Second"));
        const Ring first = pack(QStringLiteral("First"), {opener(0, second.id)});
        const RingItem way = opener(0, first.id);
        ConfigStore &store = open({ring(QStringLiteral("Main"), {way, shellItem(1)}), first, second});
        store.removeItems({way.id});
        QCOMPARE(ringNames(rings()), QStringList({"Main"}));
        QCOMPARE(rings().first().items.size(), 1);
        QCOMPARE(pendingSaves(), 1);
    }

    void removingItemsKeepsPacksThatStillHaveAWayIn()
    {
        const Ring shared = pack(QStringLiteral("Shared"));
        const Ring unlinked = pack(QStringLiteral("Unlinked")); // nothing opened it before either
        const Ring loopA = pack(QStringLiteral("A"));
        Ring loopB = pack(QStringLiteral("B"), {opener(0, loopA.id)});
        Ring a = loopA;
        a.items = {opener(0, loopB.id)};
        const RingItem toShared = opener(0, shared.id);
        const RingItem toLoop = opener(1, a.id);
        const Ring main = ring(QStringLiteral("Main"), {toShared, toLoop, shellItem(2)});
        const Ring other = ring(QStringLiteral("Other"), {opener(0, shared.id)});
        ConfigStore &store = open({main, other, shared, unlinked, a, loopB});
        store.removeItems({toShared.id, toLoop.id}, main.id);
        // Packs that open each other keep each other.
        QCOMPARE(ringNames(rings()), QStringList({"Main", "Other", "Shared", "Unlinked", "A", "B"}));
        QCOMPARE(rings().first().items.size(), 1);
    }

    void removingAnItemThatOpensAPageKeepsThePage()
    {
        Ring main = ring(QStringLiteral("Main"));
        const Ring second = ring(QStringLiteral("Second page"));
        const RingItem toPage = opener(0, second.id);
        main.items = {toPage};
        ConfigStore &store = open({main, second});
        store.removeItems({toPage.id});
        QCOMPARE(ringNames(rings()), QStringList({"Main", "Second page"}));
    }

    void deleteRingLeavesThePacksItReached()
    {
        const Ring second = pack(QStringLiteral("Second"));
        const Ring first = pack(QStringLiteral("First"), {opener(0, second.id)});
        const Ring main = ring(QStringLiteral("Main"), {opener(0, first.id), shellItem(1)});
        const Ring other = ring(QStringLiteral("Other"), {opener(3, first.id)});
        ConfigStore &store = open({main, other, first, second});
        store.deleteRing(first.id);
        QCOMPARE(ringNames(rings()), QStringList({"Main", "Other", "Second"}));
        QCOMPARE(slotsOf(rings().at(0)), Slots({1}));
        QVERIFY(rings().at(1).items.isEmpty());
        QCOMPARE(store.itemsOpeningRing(first.id), 0);
        QCOMPARE(pendingSaves(), 1);
    }

    void itemsOpeningRingCountsEveryRing()
    {
        const Ring target = pack(QStringLiteral("T"));
        const Ring nested = pack(QStringLiteral("N"), {opener(0, target.id), opener(1, target.id)});
        ConfigStore &store = open({ring(QStringLiteral("Main"), {opener(0, target.id)}), nested, target});
        QCOMPARE(store.itemsOpeningRing(target.id), 3);
        QCOMPARE(store.itemsOpeningRing(nested.id), 0);
        QCOMPARE(store.ringIndex(target.id), 2);
        QCOMPARE(store.ringIndex(QUuid::createUuid()), std::nullopt);
    }

    void turnAppItemIntoPack_data()
    {
        QTest::addColumn<qint64>("slotCount");
        QTest::addColumn<int>("suggestions");
        QTest::addColumn<Slots>("packSlots");
        QTest::newRow("8 slots, 11 suggestions") << qint64(8) << 11 << Slots{0, 1, 2, 3, 4, 5, 6, 7};
        QTest::newRow("8 slots, 2 suggestions") << qint64(8) << 2 << Slots{0, 1, 2};
        QTest::newRow("1 slot") << qint64(1) << 11 << Slots{0};
    }
    void turnAppItemIntoPack()
    {
        QFETCH(qint64, slotCount);
        QFETCH(int, suggestions);
        QFETCH(Slots, packSlots);
        const LaunchAppPayload launch{QStringLiteral("org.gnome.Calculator"), std::nullopt};
        const RingItem app{QUuid::createUuid(), QStringLiteral("Calculator"),
                           IconSpec::appIcon(QStringLiteral("org.gnome.Calculator")), 3,
                           ItemAction{launch}};
        const Ring main = ring(QStringLiteral("Main"), {shellItem(0), app, shellItem(5)});
        ConfigStore &store = open({main, pack(QStringLiteral("P"))}, slotCount);
        QList<RingItem> offered;
        for (int i = 0; i < suggestions; ++i)
            offered.append(shellItem(40 + i, QString::number(i)));
        const IconSpec icon = IconSpec::emoji(QStringLiteral("🧮"));

        const std::optional<RingItem> made =
            store.turnAppItemIntoPack(app.id, main.id, offered, QStringLiteral("Calc"), icon);
        QVERIFY(made);
        const Ring &packRing = rings().last();
        QCOMPARE(ringNames(rings()), QStringList({"Main", "P", "Calc"}));
        QVERIFY(packRing.isSubRing);
        QCOMPARE(packRing.bundleIDMatch, std::nullopt);
        QCOMPARE(packRing.slotCount, std::nullopt);
        QCOMPARE(slotsOf(packRing), packSlots);
        for (qsizetype k = 0; k + 1 < packRing.items.size(); ++k) {
            QCOMPARE(packRing.items.at(k).id, offered.at(k).id);
            QCOMPARE(packRing.items.at(k).title, offered.at(k).title);
        }
        const RingItem &openItem = packRing.items.last();
        QCOMPARE(openItem.title, QStringLiteral("Open Calc"));
        QCOMPARE(openItem.icon, icon);
        QCOMPARE(openItem.action, ItemAction{launch});

        // The opener takes the app's place, slot and all.
        QCOMPARE(rings().first().items.at(1), *made);
        QCOMPARE(made->title, QStringLiteral("Calc"));
        QCOMPARE(made->slot, 3);
        QCOMPARE(made->icon, icon);
        QCOMPARE(made->action, ItemAction{OpenRingPayload{packRing.id}});
        QCOMPARE(pendingSaves(), 1);
    }

    void openItemTitleCountsCharacters_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("title");
        QTest::newRow("9 characters") << "Photoshop" << "Open Photoshop";
        QTest::newRow("10 characters") << "Calculator" << "Calculator";
        // 9 characters in 10 code units: the dots are a combining mark.
        QTest::newRow("combining mark") << QString::fromUtf8("Ko\xcc\x88ln Maps")
                                        << QString::fromUtf8("Open Ko\xcc\x88ln Maps");
    }
    void openItemTitleCountsCharacters()
    {
        QFETCH(QString, name);
        QFETCH(QString, title);
        const RingItem app = shellItem(0); // not a launch item: the Open item launches nothing
        ConfigStore &store = open({ring(QStringLiteral("Main"), {app})});
        store.turnAppItemIntoPack(app.id, std::nullopt, {}, name, IconSpec::symbol(QStringLiteral("app")));
        const RingItem &openItem = rings().last().items.last();
        QCOMPARE(openItem.title, title);
        QCOMPARE(openItem.action, ItemAction{LaunchAppPayload{}});
    }

    void turnUnknownItemIntoPackChangesNothing()
    {
        ConfigStore &store = open(itemsAt({0}));
        const VimaConfig before = store.config();
        QCOMPARE(store.turnAppItemIntoPack(QUuid::createUuid(), std::nullopt, {shellItem(0)},
                                           QStringLiteral("X"), IconSpec::symbol(QStringLiteral("app"))),
                 std::nullopt);
        QCOMPARE(store.config(), before);
        QCOMPARE(pendingSaves(), 0);
    }

    void saveRingAsPackWithDefaults()
    {
        const Ring inner = pack(QStringLiteral("Inner"), {shellItem(0)});
        const Ring main = ring(QStringLiteral("Main"), {shellItem(0), opener(1, inner.id)});
        ConfigStore &store = open({main, inner});
        const std::optional<SavedGroup> saved = store.saveRingAsPack(main.id);
        QVERIFY(saved);
        QCOMPARE(saved->name, QStringLiteral("Main"));
        QCOMPARE(saved->icon, IconSpec::symbol(QStringLiteral("square.grid.2x2")));
        QCOMPARE(saved->items.size(), 2);
        for (qsizetype i = 0; i < 2; ++i) {
            QVERIFY(saved->items.at(i).id != main.items.at(i).id);
            RingItem same = saved->items.at(i);
            same.id = main.items.at(i).id;
            QCOMPARE(same, main.items.at(i));
        }
        QCOMPARE(saved->nestedRings, QList<Ring>{inner});
        QCOMPARE(store.config().savedGroups, QList<SavedGroup>{*saved});
        QCOMPARE(pendingSaves(), 1);

        const auto named = store.saveRingAsPack(main.id, QStringLiteral("Mine"),
                                                IconSpec::emoji(QStringLiteral("⭐")));
        QCOMPARE(named->name, QStringLiteral("Mine"));
        QCOMPARE(named->icon, IconSpec::emoji(QStringLiteral("⭐")));
        QCOMPARE(store.saveRingAsPack(QUuid::createUuid()), std::nullopt);
        QCOMPARE(store.config().savedGroups.size(), 2);
    }

    void deleteSavedGroupAlwaysSchedulesASave()
    {
        ConfigStore &store = open(itemsAt({0}));
        const auto saved = store.saveRingAsPack(rings().first().id);
        fixture->scheduler.runAll();
        store.deleteSavedGroup(QUuid::createUuid());
        QCOMPARE(store.config().savedGroups.size(), 1);
        QCOMPARE(pendingSaves(), 1);
        store.deleteSavedGroup(saved->id);
        QVERIFY(store.config().savedGroups.isEmpty());
    }

    void applyTemplateKeepsThePrimaryRing()
    {
        const Ring still = pack(QStringLiteral("Still opened"));
        const Ring dropped = pack(QStringLiteral("Dropped"));
        const Ring other = ring(QStringLiteral("Other page"));
        Ring main = ring(QStringLiteral("Mine"),
                         {opener(0, still.id), opener(1, dropped.id), opener(2, other.id)});
        main.slotCount = 3;
        const Ring keeper = pack(QStringLiteral("Keeper"), {opener(0, still.id)});
        ConfigStore &store = open({main, other, still, dropped, keeper});
        QVERIFY(writeAll(fixture->file(), "stale"));

        store.applyTemplate(RingTemplate::defaultTemplate());
        // Everyday, cut to 3 slots: Write and Read open new packs.
        QCOMPARE(ringNames(rings()),
                 QStringList({"Mine", "Other page", "Still opened", "Keeper", "Write", "Read"}));
        const Ring &primary = rings().first();
        QCOMPARE(primary.id, main.id);
        QCOMPARE(primary.slotCount, 3);
        QCOMPARE(slotsOf(primary), Slots({0, 1, 2}));
        QCOMPARE(primary.items.at(0).title, QStringLiteral("Write"));
        QCOMPARE(store.itemsOpeningRing(rings().at(4).id), 1);
        // Saved at once, not only scheduled.
        QCOMPARE(ConfigStore::decode(readAll(fixture->file())), store.config());
    }

    void applyTemplateNeverRemovesThePrimaryRing()
    {
        Ring main = ring(QStringLiteral("Main"));
        main.items = {opener(0, main.id)}; // a hand-made loop onto itself
        ConfigStore &store = open({main});
        store.applyTemplate(RingTemplate::defaultTemplate());
        QCOMPARE(rings().first().id, main.id);
        QCOMPARE(ringNames(rings()), QStringList({"Main", "Write", "Read"}));
    }

    void applyTemplateCreatesThePrimaryRing()
    {
        ConfigStore &store = open({pack(QStringLiteral("P"))});
        store.applyTemplate(RingTemplate::defaultTemplate());
        QCOMPARE(ringNames(rings()), QStringList({"Default", "P", "Write", "Read"}));
        QCOMPARE(rings().first().items.size(), 6);
    }
};

QTEST_GUILESS_MAIN(TestConfigEditing)
#include "tst_configediting.moc"
