#include "settings/packs/PackBuilderModel.h"

#include "SettingsHarness.h"

#include <QTest>

using namespace vima;
using namespace vima::test;

namespace {

RingItem itemWith(const ItemAction &action, const QString &title = QStringLiteral("Item"))
{
    return {QUuid::createUuid(), title, IconSpec::symbol(QStringLiteral("app")), 0, action};
}

QUuid linkOf(const RingItem &item)
{
    return std::get<OpenRingPayload>(item.action.payload).ringID;
}

QList<qint64> slotsOf(const QList<RingItem> &items)
{
    QList<qint64> slots;
    for (const RingItem &item : items)
        slots.append(item.slot);
    return slots;
}

} // namespace

class TestPackBuilderModel : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<SettingsHarness> harness_;
    QUuid parentID_;
    QList<QUuid> committed_;

    std::unique_ptr<PackBuilderModel> builder(qint64 slot = 3)
    {
        PackBuilderModel::Opening opening{parentID_, QStringLiteral("Main"), slot,
                                          [this](const QUuid &id) { committed_.append(id); }};
        return std::make_unique<PackBuilderModel>(harness_->store(), harness_->beep, opening,
                                                  []() -> QCoro::Task<QList<InstalledApp>> { co_return {}; });
    }

    // Fills `slots` with finished shell items.
    static void fill(PackBuilderModel &model, int count)
    {
        for (int i = 0; i < count; ++i) {
            model.addItemOfKind(ItemAction::Kind::shell);
            model.setTargetText(model.items().last().id, QStringLiteral("true"));
        }
    }

private Q_SLOTS:
    void init()
    {
        harness_ = std::make_unique<SettingsHarness>();
        VimaConfig config;
        config.rings = {ring(QStringLiteral("Main"))};
        parentID_ = config.rings.first().id;
        harness_->fixture.open(config);
        committed_.clear();
    }

    void startsEmptyAndShowsPackForNoName()
    {
        auto model = builder();
        QCOMPARE(model->name(), QStringLiteral("New pack"));
        QCOMPARE(model->icon(), IconSpec::symbol(QStringLiteral("circle.grid.cross")));
        QCOMPARE(model->childSlots(), 6);
        QVERIFY(!model->canCommit());
        model->setName(QString());
        QCOMPARE(model->previewRing().name, QStringLiteral("Pack"));
        model->setName(QStringLiteral("  "));
        QCOMPARE(model->displayName(), QStringLiteral("  "));
        QVERIFY(!model->commit());
        QCOMPARE(harness_->store().config().rings.size(), 1);
    }

    void needsTarget_data()
    {
        QTest::addColumn<RingItem>("item");
        QTest::addColumn<bool>("needs");
        QTest::newRow("app with only a path") << itemWith(ItemAction{LaunchAppPayload{QString(), "/a.desktop"}}) << false;
        QTest::newRow("app with neither") << itemWith(ItemAction{LaunchAppPayload{QString(), std::nullopt}}) << true;
        QTest::newRow("open, spaces and tabs") << itemWith(ItemAction{OpenPayload{" \t "}}) << true;
        QTest::newRow("open, a line break") << itemWith(ItemAction{OpenPayload{"\n"}}) << false;
        QTest::newRow("empty shell") << itemWith(ItemAction{ShellPayload{" ", "/bin/zsh", false}}) << true;
        QTest::newRow("empty AppleScript") << itemWith(ItemAction{AppleScriptPayload{"", false}}) << true;
        QTest::newRow("AI") << itemWith(ItemAction{AIPayload{}}) << false;
        QTest::newRow("pack") << itemWith(ItemAction{OpenRingPayload{}}) << false;
    }
    void needsTarget()
    {
        QFETCH(RingItem, item);
        QFETCH(bool, needs);
        QCOMPARE(PackBuilderModel::needsTarget(item), needs);
    }

    void editingReplacesTheAction()
    {
        auto model = builder();
        model->addItemOfKind(ItemAction::Kind::shell);
        const QUuid shell = model->items().first().id;
        model->setTargetText(shell, QStringLiteral("ls"));
        QCOMPARE(model->items().first().action, (ItemAction{ShellPayload{"ls", "/bin/zsh", false}}));
        QVERIFY(model->canCommit());
        QCOMPARE(model->warningText(), QString());
        model->addItemOfKind(ItemAction::Kind::open);
        QCOMPARE(model->warningText(), QStringLiteral("1 action still needs a target — click its title to fill it in"));
        QVERIFY(!model->canCommit());
    }

    void choosingAnAppRetitlesOnlyPlaceholders_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("after");
        QTest::newRow("short label") << "Open App" << "Gimp";
        QTest::newRow("New and long label") << "New Open App" << "Gimp";
        QTest::newRow("own title") << "Paint" << "Paint";
    }
    void choosingAnAppRetitlesOnlyPlaceholders()
    {
        QFETCH(QString, title);
        QFETCH(QString, after);
        auto model = builder();
        model->addItemOfKind(ItemAction::Kind::launchApp);
        const QUuid id = model->items().first().id;
        model->setItemTitle(id, title);
        model->chooseApplication(id, {QStringLiteral("Gimp"), QStringLiteral("gimp"), QStringLiteral("/g.desktop")});
        const RingItem item = model->items().first();
        QCOMPARE(item.title, after);
        QCOMPARE(item.icon, IconSpec::appIcon(QStringLiteral("gimp")));
        QCOMPARE(item.action, (ItemAction{LaunchAppPayload{"gimp", "/g.desktop"}}));
    }

    void stepperStaysBetweenItemsAndTwelve_data()
    {
        QTest::addColumn<int>("items");
        QTest::addColumn<int>("minimum");
        QTest::newRow("none") << 0 << 2;
        QTest::newRow("one") << 1 << 2;
        QTest::newRow("five") << 5 << 5;
    }
    void stepperStaysBetweenItemsAndTwelve()
    {
        QFETCH(int, items);
        QFETCH(int, minimum);
        auto model = builder();
        fill(*model, items);
        QCOMPARE(model->minimumChildSlots(), minimum);
        model->setChildSlots(1);
        QCOMPARE(model->childSlots(), minimum);
        model->setChildSlots(40);
        QCOMPARE(model->childSlots(), 12);
    }

    void doneInstallsReferencedRingsThenPackThenOpener()
    {
        auto model = builder(3);
        model->addNestedPack();
        model->addNestedPack();
        QCOMPARE(model->pendingChildRings().size(), 2);
        QCOMPARE(slotsOf(model->items()), (QList<qint64>{0, 1}));
        const QUuid kept = linkOf(model->items()[0]);
        model->removeItem(model->items()[1].id);
        fill(*model, 1);
        model->setChildSlots(4);
        QVERIFY(model->commit());

        const VimaConfig config = harness_->store().config();
        QCOMPARE(config.rings.size(), 3); // the parent, the kept nested ring, the pack
        QCOMPARE(config.rings[1].id, kept);
        const Ring pack = config.rings[2];
        QCOMPARE(pack.name, QStringLiteral("New pack"));
        QCOMPARE(pack.slotCount, std::optional<qint64>(4));
        QVERIFY(pack.id != model->previewRing().id);
        const RingItem opener = config.rings[0].items.last();
        QCOMPARE(opener.slot, 3);
        QCOMPARE(linkOf(opener), pack.id);
        QCOMPARE(committed_, QList<QUuid>{opener.id});
    }

    void savingTwiceKeepsTwoPacksAndFlashes()
    {
        auto model = builder();
        fill(*model, 2);
        model->saveAsGroup();
        QCOMPARE(model->saveButtonTitle(), QStringLiteral("Saved ✓"));
        model->saveAsGroup();
        const QList<SavedGroup> saved = harness_->store().config().savedGroups;
        QCOMPARE(saved.size(), 2);
        QVERIFY(saved[0].id != saved[1].id);
        QCOMPARE(saved[0].items, saved[1].items);
        QCOMPARE(saved[0].items, model->items());
        QTRY_COMPARE(model->saveButtonTitle(), QStringLiteral("Save as pack"));
    }

    void newKindsTakeAPendingSlotOnlyWhileFree_data()
    {
        QTest::addColumn<qint64>("clicked");
        QTest::addColumn<bool>("nestedFirst");
        QTest::addColumn<int>("slotCount");
        QTest::addColumn<QList<qint64>>("slots");
        QTest::newRow("clicked slot used") << qint64(3) << false << 6 << QList<qint64>{3};
        QTest::newRow("nested pack takes the lowest, leaves the pending one")
            << qint64(3) << true << 6 << QList<qint64>{0, 3};
        QTest::newRow("pending slot taken meanwhile") << qint64(0) << true << 6 << QList<qint64>{0, 1};
        QTest::newRow("pending slot beyond the count") << qint64(5) << false << 2 << QList<qint64>{0};
    }
    void newKindsTakeAPendingSlotOnlyWhileFree()
    {
        QFETCH(qint64, clicked);
        QFETCH(bool, nestedFirst);
        QFETCH(int, slotCount);
        QFETCH(QList<qint64>, slots);
        auto model = builder();
        model->previewClicked(clicked);
        QVERIFY(model->showAdd());
        model->setChildSlots(slotCount);
        if (nestedFirst)
            model->addNestedPack();
        model->addItemOfKind(ItemAction::Kind::open);
        QCOMPARE(slotsOf(model->items()), slots);
        QCOMPARE(model->pendingSlot(), std::nullopt);
        QVERIFY(!model->showAdd());
    }

    void fullPackBeepsAndAddsNothing()
    {
        auto model = builder();
        model->setChildSlots(2);
        fill(*model, 2);
        model->openAddPanel();
        model->addItemOfKind(ItemAction::Kind::ai);
        QVERIFY(!model->showAdd());
        model->addNestedPack();
        model->addLibraryPreset(ActionPreset::all().first());
        QCOMPARE(harness_->beep.beeps, 3);
        QCOMPARE(model->items().size(), 2);
        QVERIFY(model->pendingChildRings().isEmpty());
    }

    void savedPackFillsTheLowestFreeSlotsAndBeepsOnce()
    {
        auto model = builder();
        fill(*model, 5);
        model->removeItem(model->items()[1].id);
        model->removeItem(model->items()[2].id); // slots 0, 2, 4 left
        SavedGroup saved{QUuid::createUuid(), QStringLiteral("Five"), {}, {}, {}};
        for (int i = 0; i < 5; ++i)
            saved.items.append(shellItem(10 + i, QString::number(i)));
        model->addFromSavedGroup(saved);
        QCOMPARE(slotsOf(model->items()), (QList<qint64>{0, 2, 4, 1, 3, 5}));
        QCOMPARE(model->items().last().title, QStringLiteral("2"));
        QCOMPARE(harness_->beep.beeps, 1);
    }

    void savedPackBringsItsNestedRingsWithFreshIDs()
    {
        const Ring inner = pack(QStringLiteral("Inner"), {shellItem(0)});
        const Ring outer = pack(QStringLiteral("Outer"), {opener(0, inner.id)});
        const SavedGroup saved{QUuid::createUuid(), QStringLiteral("S"), {}, {opener(4, outer.id)}, {outer, inner}};
        auto model = builder();
        model->addFromSavedGroup(saved);
        const QUuid link = linkOf(model->items().first());
        QVERIFY(link != outer.id);
        QCOMPARE(model->items().first().slot, 0);
        QVERIFY(model->commit());
        const VimaConfig config = harness_->store().config();
        const std::optional<Ring> installedOuter = config.ringWithID(link);
        QVERIFY(installedOuter);
        QCOMPARE(installedOuter->name, QStringLiteral("Outer"));
        // Reached through the outer ring only.
        const std::optional<Ring> installedInner = config.ringWithID(linkOf(installedOuter->items.first()));
        QVERIFY(installedInner);
        QVERIFY(installedInner->id != inner.id);
        QVERIFY(!config.ringWithID(outer.id));
    }

    void appsSortByCodePointsAndFilterByName()
    {
        auto model = builder();
        QList<InstalledApp> apps{{"zoom", "us.zoom", "/z"}, {"Safari", "s1", "/s1"}, {"Xcode", "x", "/x"},
                                 {"Safari", "s2", "/s2"}};
        for (int i = 0; i < 70; ++i)
            apps.append({QStringLiteral("Exc %1").arg(i), QStringLiteral("e%1").arg(i), "/e"});
        model->setInstalledApps(apps);
        QCOMPARE(model->installedApps().first().bundleID, QStringLiteral("e0"));
        const QList<InstalledApp> sorted = model->installedApps().mid(70);
        QCOMPARE(sorted[0].bundleID, QStringLiteral("s1"));
        QCOMPARE(sorted[1].bundleID, QStringLiteral("s2"));
        QCOMPARE(sorted[2].name, QStringLiteral("Xcode"));
        QCOMPARE(sorted[3].name, QStringLiteral("zoom"));

        model->setAppQuery(QStringLiteral(" XC "));
        QCOMPARE(model->filteredApps().size(), 60);
        model->setAppQuery(QStringLiteral("us.zoom")); // ids are not searched
        QVERIFY(model->filteredApps().isEmpty());
    }
};

QTEST_MAIN(TestPackBuilderModel)
#include "tst_packbuildermodel.moc"
