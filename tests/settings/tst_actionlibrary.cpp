#include "settings/library/ActionLibraryModel.h"
#include "settings/library/ActionLibraryView.h"

#include "SettingsHarness.h"

#include <QAccessible>
#include <QCoroSignal>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

using namespace vima;
using namespace vima::test;

namespace {

QList<ActionPreset> presetsIn(ActionCategory category)
{
    QList<ActionPreset> presets;
    for (const ActionPreset &preset : ActionPreset::all()) {
        if (preset.category == category)
            presets.append(preset);
    }
    return presets;
}

// The ids of the model's entry rows, headers left out, in row order.
QStringList listedIDs(const ActionLibraryModel &model)
{
    QStringList ids;
    for (const ActionLibraryModel::Section &section : model.sections())
        for (const ActionPreset &preset : section.presets)
            ids.append(preset.id);
    return ids;
}

int headerRows(const ActionLibraryModel &model)
{
    int headers = 0;
    for (int row = 0; row < model.rowCount(); ++row)
        headers += model.index(row).data(ActionLibraryModel::HeaderRole).toBool();
    return headers;
}

// Opens once, when the test says so.
class Gate : public QObject {
    Q_OBJECT

Q_SIGNALS:
    void opened();
};

QCoro::Task<QList<InstalledApp>> heldUntilOpened(std::shared_ptr<Gate> gate, QList<InstalledApp> apps)
{
    co_await qCoro(gate.get(), &Gate::opened);
    co_return apps;
}

// A scan that ends when the test says so.
struct HeldScan {
    QList<InstalledApp> apps;
    std::shared_ptr<Gate> gate = std::make_shared<Gate>();

    AppScan scan() const
    {
        return [gate = gate, apps = apps] { return heldUntilOpened(gate, apps); };
    }
    void release() { Q_EMIT gate->opened(); }
};

} // namespace

class TestActionLibrary : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<SettingsHarness> harness_;
    QUuid ringID_;

    // A ring of 8 slots whose `taken` slots hold items.
    void openRing(const QList<qint64> &taken, std::optional<qint64> ownSlotCount = {})
    {
        harness_ = std::make_unique<SettingsHarness>();
        QList<RingItem> items;
        for (qint64 slot : taken)
            items.append(shellItem(slot));
        Ring main = ring(QStringLiteral("Main"), items);
        main.slotCount = ownSlotCount;
        VimaConfig config;
        config.slotCount = 8;
        config.ai.defaultTargetLanguage = QStringLiteral("Klingon");
        config.rings = {main};
        ringID_ = main.id;
        harness_->fixture.open(config);
    }

    Ring mainRing() const { return *harness_->store().config().ringWithID(ringID_); }

    std::unique_ptr<ActionLibraryModel> library()
    {
        return std::make_unique<ActionLibraryModel>(harness_->store(), ringID_);
    }

    static void tickFirst(ActionLibraryModel &model, qsizetype count)
    {
        // Ticked from the back, so the add's order has to come from the library.
        const QList<ActionPreset> all = ActionPreset::all();
        for (qsizetype i = count - 1; i >= 0; --i)
            model.toggleSelection(all[i].id);
    }

private Q_SLOTS:
    void init() { openRing({}); }

    void searchFiltersEntriesAndKeepsCounts_data()
    {
        QTest::addColumn<int>("filter"); // index into CategoryFilter::allCases()
        QTest::addColumn<QString>("query");
        QTest::addColumn<QString>("sameAs"); // a query that must list the same entries
        QTest::newRow("spaces only list the filter's entries") << 0 << "   " << "";
        QTest::newRow("trimmed and lower-cased") << 0 << "  MAIL " << "mail";
        QTest::newRow("tabs trimmed under a category") << 1 << "\tfix\t" << "fix";
    }
    void searchFiltersEntriesAndKeepsCounts()
    {
        QFETCH(int, filter);
        QFETCH(QString, query);
        QFETCH(QString, sameAs);
        auto model = library();
        model->setFilter(CategoryFilter::allCases()[filter]);
        QList<qsizetype> counts;
        for (const CategoryFilter &each : CategoryFilter::allCases())
            counts.append(model->count(each));
        model->setQuery(sameAs);
        const QStringList expected = listedIDs(*model);
        model->setQuery(query);
        QCOMPARE(listedIDs(*model), expected);
        QVERIFY(!expected.isEmpty());
        for (qsizetype i = 0; i < counts.size(); ++i)
            QCOMPARE(model->count(CategoryFilter::allCases()[i]), counts[i]);
    }

    void categoryTitleMatchesEveryEntryOfIt()
    {
        auto model = library();
        model->setQuery(QStringLiteral("email"));
        const QStringList listed = listedIDs(*model);
        for (const ActionPreset &preset : presetsIn(ActionCategory::email))
            QVERIFY2(listed.contains(preset.id), qPrintable(preset.id));
    }

    void headersOnlyForTwoOrMoreSections()
    {
        auto model = library();
        QCOMPARE(headerRows(*model), model->sections().size());
        QVERIFY(model->sections().size() > 1);
        model->setFilter(CategoryFilter{ActionCategory::writing});
        QCOMPARE(model->sections().size(), 1);
        QCOMPARE(headerRows(*model), 0);
        QCOMPARE(model->rowCount(), presetsIn(ActionCategory::writing).size());
        // A query that only other categories answer leaves nothing.
        model->setQuery(QStringLiteral("email & messages"));
        QCOMPARE(model->rowCount(), 0);
    }

    void appsArriveWithTheScan()
    {
        auto model = library();
        const CategoryFilter apps{ActionCategory::apps};
        QCOMPARE(model->count(apps), 0);
        model->setInstalledApps({{"Zed", "dev.zed.Zed", "/usr/share/applications/dev.zed.Zed.desktop"},
                                 {"Gimp", "gimp", "/usr/share/applications/gimp.desktop"}});
        QCOMPARE(model->count(apps), 2);
        QCOMPARE(model->count(CategoryFilter{}), ActionPreset::all().size() + 2);
        model->toggleSelection(QStringLiteral("app.gimp"));
        model->addToRing();
        const RingItem added = mainRing().items.last();
        QCOMPARE(added.title, QStringLiteral("Gimp"));
        QCOMPARE(added.action, (ItemAction{LaunchAppPayload{"gimp", "/usr/share/applications/gimp.desktop"}}));
    }

    void checkStateRoleTogglesTheTick()
    {
        auto model = library();
        model->setFilter(CategoryFilter{ActionCategory::writing});
        const QModelIndex first = model->index(0);
        QVERIFY(model->setData(first, Qt::Checked, Qt::CheckStateRole));
        QCOMPARE(first.data(Qt::CheckStateRole).value<Qt::CheckState>(), Qt::Checked);
        model->setFilter(CategoryFilter{});
        QCOMPARE(model->selectedIDs().size(), 1); // survives the filter
        model->setFilter(CategoryFilter{ActionCategory::writing});
        QVERIFY(model->setData(model->index(0), Qt::Unchecked, Qt::CheckStateRole));
        QVERIFY(model->selectedIDs().isEmpty());
    }

    void addToRingFillsFreeSlotsInLibraryOrder_data()
    {
        QTest::addColumn<QList<qint64>>("taken");
        QTest::addColumn<int>("ticked");
        QTest::addColumn<QList<qint64>>("filled");
        QTest::addColumn<QString>("alert"); // empty: none
        QTest::newRow("5 into 3 free") << QList<qint64>{0, 1, 3, 5, 6} << 5 << QList<qint64>{2, 4, 7}
                                       << "2 actions were skipped — this ring has 3 free slots.";
        QTest::newRow("2 into 1 free") << QList<qint64>{0, 1, 2, 3, 4, 5, 6} << 2 << QList<qint64>{7}
                                       << "1 action was skipped — this ring has 1 free slot.";
        QTest::newRow("1 into 1 free") << QList<qint64>{0, 1, 2, 3, 4, 5, 6} << 1 << QList<qint64>{7} << "";
    }
    void addToRingFillsFreeSlotsInLibraryOrder()
    {
        QFETCH(QList<qint64>, taken);
        QFETCH(int, ticked);
        QFETCH(QList<qint64>, filled);
        QFETCH(QString, alert);
        openRing(taken);
        auto model = library();
        tickFirst(*model, ticked);
        const auto skipped = model->addToRing();
        const QList<RingItem> items = mainRing().items.mid(taken.size());
        QCOMPARE(items.size(), filled.size());
        for (qsizetype i = 0; i < items.size(); ++i) {
            QCOMPARE(items[i].slot, filled[i]);
            QCOMPARE(items[i].title, ActionPreset::all()[i].title);
        }
        QCOMPARE(skipped.count >= 1 ? ActionLibraryModel::skippedText(skipped) : QString(), alert);
    }

    void addAsPackCutsAtTheRingsCount_data()
    {
        QTest::addColumn<std::optional<qint64>>("ownSlotCount");
        QTest::addColumn<int>("filter");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("alert");
        QTest::newRow("global count, All") << std::optional<qint64>() << 0 << "Library"
                                           << "2 actions were skipped — a ring holds 8 items.";
        QTest::newRow("own count, Writing") << std::optional<qint64>(4) << 1 << "Writing"
                                            << "6 actions were skipped — a ring holds 4 items.";
    }
    void addAsPackCutsAtTheRingsCount()
    {
        QFETCH(std::optional<qint64>, ownSlotCount);
        QFETCH(int, filter);
        QFETCH(QString, name);
        QFETCH(QString, alert);
        openRing({0, 2}, ownSlotCount);
        auto model = library();
        tickFirst(*model, 10); // several categories
        model->setFilter(CategoryFilter::allCases()[filter]);
        const auto skipped = model->addAsPack();
        QVERIFY(skipped);
        QCOMPARE(ActionLibraryModel::skippedText(*skipped), alert);

        const RingItem opener = mainRing().items.last();
        QCOMPARE(opener.slot, 1);
        QCOMPARE(opener.title, name);
        const Ring pack = *harness_->store().config().ringWithID(std::get<OpenRingPayload>(opener.action.payload).ringID);
        QVERIFY(pack.isSubRing);
        QCOMPARE(pack.name, name);
        const qint64 capacity = ownSlotCount.value_or(8);
        // Every item cut at the edited ring's count stays reachable in the pack.
        QCOMPARE(pack.slotCount.value_or(harness_->store().config().slotCount), capacity);
        QCOMPARE(pack.items.size(), capacity);
        for (qint64 k = 0; k < capacity; ++k)
            QCOMPARE(pack.items[k].slot, k);
    }

    void nothingAddedWithoutTicksOrFreeSlots()
    {
        openRing({0, 1, 2, 3, 4, 5, 6, 7});
        auto model = library();
        tickFirst(*model, 1);
        QVERIFY(!model->canAdd());
        QVERIFY(!model->addAsPack());
        QCOMPARE(mainRing().items.size(), 8);
    }

    void presetNeedingALanguageTakesTheConfiguredOne()
    {
        auto model = library();
        const auto all = ActionPreset::all();
        const auto needing = std::find_if(all.cbegin(), all.cend(), [](const ActionPreset &p) { return p.needsLanguage; });
        QVERIFY(needing != all.cend());
        model->toggleSelection(needing->id);
        model->addToRing();
        const RingItem added = mainRing().items.last();
        const auto &payload = std::get<AIPayload>(added.action.payload);
        QCOMPARE(payload.targetLanguage, std::optional<QString>(QStringLiteral("Klingon")));
    }

    void footerCountsFreeSlots_data()
    {
        QTest::addColumn<QList<qint64>>("taken");
        QTest::addColumn<QString>("status");
        QTest::newRow("none free") << QList<qint64>{0, 1, 2, 3, 4, 5, 6, 7} << "1 selected · 0 slots free";
        QTest::newRow("one free") << QList<qint64>{0, 1, 2, 3, 4, 5, 6} << "1 selected · 1 slot free";
        QTest::newRow("two free") << QList<qint64>{0, 1, 2, 3, 4, 5} << "1 selected · 2 slots free";
    }
    void footerCountsFreeSlots()
    {
        QFETCH(QList<qint64>, taken);
        QFETCH(QString, status);
        openRing(taken);
        auto model = library();
        tickFirst(*model, 1);
        QCOMPARE(model->statusText(), status);
    }

    void returnAddsOnlyWhenEnabledAndEscapeCloses()
    {
        openRing({0, 1, 2, 3, 4, 5});
        HeldScan scan;
        ActionLibraryView view(harness_->context(), ringID_, scan.scan());
        view.show();
        auto *search = view.findChild<QLineEdit *>(QStringLiteral("librarySearch"));
        QTest::keyClick(search, Qt::Key_Return);
        QVERIFY(view.isVisible());
        QCOMPARE(mainRing().items.size(), 6);

        auto *list = view.findChild<QListView *>(QStringLiteral("libraryList"));
        const QModelIndex firstEntry = view.model().index(1); // after the first header
        const QPoint onText = list->visualRect(firstEntry).center();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, onText);
        QCOMPARE(view.model().selectedIDs().size(), 1);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, onText);
        QVERIFY(view.model().selectedIDs().isEmpty());
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, onText);

        QTest::keyClick(search, Qt::Key_Escape);
        QVERIFY(!view.isVisible());
        QCOMPARE(mainRing().items.size(), 6);
        view.show();
        QTest::keyClick(search, Qt::Key_Return);
        QVERIFY(!view.isVisible());
        QCOMPARE(mainRing().items.size(), 7);
        QVERIFY(harness_->prompts.shown.isEmpty());
    }

    void everyWayOfTickingTicksOnce_data()
    {
        QTest::addColumn<QString>("way");
        for (const char *way : {"click", "space", "setData", "accessible toggle"})
            QTest::newRow(way) << QString::fromLatin1(way);
    }
    void everyWayOfTickingTicksOnce()
    {
        QFETCH(QString, way);
        openRing({0, 1, 2, 3, 4, 5});
        ActionLibraryView view(harness_->context(), ringID_, HeldScan().scan());
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        auto *list = view.findChild<QListView *>(QStringLiteral("libraryList"));
        const QModelIndex entry = view.model().index(1); // after the first header
        const auto tick = [&] {
            if (way == u"click") {
                QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(entry).center());
            } else if (way == u"space") {
                list->setCurrentIndex(entry);
                QTest::keyClick(list, Qt::Key_Space);
            } else if (way == u"setData") {
                const bool ticked = entry.data(Qt::CheckStateRole).value<Qt::CheckState>() == Qt::Checked;
                view.model().setData(entry, ticked ? Qt::Unchecked : Qt::Checked, Qt::CheckStateRole);
            } else {
                QAccessibleInterface *row = QAccessible::queryAccessibleInterface(list)->tableInterface()->cellAt(1, 0);
                row->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
            }
        };
        for (const int selected : {1, 0, 1}) {
            tick();
            QCOMPARE(view.model().selectedIDs().size(), selected);
            QCOMPARE(entry.data(Qt::CheckStateRole).value<Qt::CheckState>(), selected ? Qt::Checked : Qt::Unchecked);
            QVERIFY(view.model().statusText().startsWith(QString::number(selected) + QStringLiteral(" selected")));
        }
        for (auto *button : view.findChildren<QPushButton *>())
            if (button->text() == QStringLiteral("Add to Ring"))
                button->click();
        QCOMPARE(mainRing().items.size(), 7);
        QCOMPARE(mainRing().items.last().title, entry.data().toString());
    }

    void skippedAlertComesBeforeTheSheetCloses()
    {
        openRing({0, 1, 2, 3, 4, 5, 6});
        ActionLibraryView view(harness_->context(), ringID_, HeldScan().scan());
        view.show();
        tickFirst(view.model(), 2);
        QSignalSpy finished(&view, &QDialog::finished);
        for (auto *button : view.findChildren<QPushButton *>())
            if (button->text() == QStringLiteral("Add to Ring"))
                button->click();
        QCOMPARE(finished.size(), 1);
        QCOMPARE(harness_->prompts.shown.size(), 1);
        QCOMPARE(harness_->prompts.shown.first().message, QStringLiteral("Added what fit."));
    }

    void scanEndingAfterTheSheetClosedDoesNothing()
    {
        HeldScan held;
        held.apps = {{"Gimp", "gimp", "/x/gimp.desktop"}};
        auto *view = new ActionLibraryView(harness_->context(), ringID_, held.scan());
        view->show();
        delete view;
        held.release(); // resumes into a sheet that is gone
        QCoreApplication::processEvents();

        HeldScan kept;
        kept.apps = held.apps;
        ActionLibraryView open(harness_->context(), ringID_, kept.scan());
        open.show();
        kept.release();
        QTRY_COMPARE(open.model().count(CategoryFilter{ActionCategory::apps}), 1);
    }
};

QTEST_MAIN(TestActionLibrary)
#include "tst_actionlibrary.moc"
