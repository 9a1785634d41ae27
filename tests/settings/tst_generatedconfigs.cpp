// A table that keeps looking: a few hundred configuration files made from
// the starter one by a fixed seed (ConfigMutations), each loaded through the
// store, shown in every settings view and in the ring, taken as a hand edit
// while the settings are open, and imported. Crashes, memory errors and
// overflows fail it under the asan preset; a case that hangs or eats memory
// is named and ends the run.
#include "ConfigMutations.h"
#include "SettingsHarness.h"

#include "ring/RingView.h"
#include "ring/RingViewModel.h"
#include "settings/SettingsWindow.h"
#include "settings/SettingsWindowController.h"
#include "settings/general/GeneralSettingsModel.h"
#include "settings/general/GeneralSettingsView.h"
#include "settings/items/ItemsSettingsModel.h"
#include "settings/items/ItemsSettingsView.h"
#include "store/RingLinks.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QScopeGuard>
#include <QSet>
#include <QTabWidget>
#include <QTest>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstdio>
#include <memory>
#include <mutex>
#include <numbers>
#include <thread>
#include <unistd.h>

using namespace vima;
using namespace vima::test;

namespace {

constexpr int casesPerClass = 24;

// Ends the run, naming the case, when one case runs longer or takes more
// memory than any case should. Generous: a guard against hangs, not a timing.
class CaseGuard {
public:
    static constexpr auto limit = std::chrono::seconds(120);
    static constexpr long memoryLimitMB = 3000;

    CaseGuard() : thread_([this] { watch(); }) {}
    ~CaseGuard()
    {
        {
            const std::lock_guard lock(mutex_);
            stop_ = true;
        }
        wake_.notify_one();
        thread_.join();
    }

    void arm(const QByteArray &name)
    {
        const std::lock_guard lock(mutex_);
        name_ = name;
        deadline_ = std::chrono::steady_clock::now() + limit;
    }

private:
    static long residentMB()
    {
        long pages = 0, resident = 0;
        if (FILE *statm = std::fopen("/proc/self/statm", "r")) {
            if (std::fscanf(statm, "%ld %ld", &pages, &resident) != 2)
                resident = 0;
            std::fclose(statm);
        }
        return resident * (sysconf(_SC_PAGESIZE) / 1024) / 1024;
    }

    void watch()
    {
        std::unique_lock lock(mutex_);
        while (!wake_.wait_for(lock, std::chrono::milliseconds(200), [this] { return stop_; })) {
            if (name_.isEmpty())
                continue;
            if (std::chrono::steady_clock::now() > deadline_)
                qFatal("Case %s still runs after %lld s", name_.constData(), qlonglong(limit.count()));
            if (const long resident = residentMB(); resident > memoryLimitMB)
                qFatal("Case %s holds %ld MB", name_.constData(), resident);
        }
    }

    std::mutex mutex_;
    std::condition_variable wake_;
    bool stop_ = false;
    QByteArray name_;
    std::chrono::steady_clock::time_point deadline_;
    std::thread thread_;
};

// A refusal says why: "Could not read config.json (<reason>). …".
bool saysWhy(const std::optional<QString> &message, const QString &start)
{
    if (!message || !message->startsWith(start))
        return false;
    const qsizetype end = message->indexOf(QStringLiteral(")"), start.size());
    return end > start.size();
}

const QString readFailure = QStringLiteral("Could not read config.json (");

// Lets layout, paint and deferred deletes run.
void settle()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

template <typename Page>
Page &pageOf(SettingsWindow &window, SettingsTab tab)
{
    window.tabs()->setCurrentIndex(static_cast<int>(tab));
    auto *page = qobject_cast<Page *>(window.page(tab));
    Q_ASSERT(page);
    return *page;
}

// The rings of `config` that `reference` has not: those a case changed.
QList<Ring> changedRings(const VimaConfig &config, const VimaConfig &reference)
{
    QList<Ring> changed;
    for (const Ring &ring : config.rings)
        if (!reference.rings.contains(ring))
            changed.append(ring);
    return changed;
}

// Each of `rings` chosen in the Items tab, and in each every item (or the
// first, when `everyItem` is false), as a click in its list does.
ItemsSettingsModel &walkItems(SettingsWindow &window, const QList<Ring> &rings, bool everyItem)
{
    ItemsSettingsModel &model = pageOf<ItemsSettingsView>(window, SettingsTab::items).model();
    for (const Ring &ring : rings) {
        model.selectRing(ring.id);
        const QList<RingItem> listed = model.listedItems();
        for (const RingItem &item : everyItem ? listed : listed.mid(0, 1))
            model.selectItem(item.id);
        settle();
    }
    return model;
}

// Each sheet the Items tab opens, on the ring it shows.
void openSheets(ItemsSettingsModel &model)
{
    using Kind = ItemsSettingsModel::ActiveSheet::Kind;
    model.selectFirstItem();
    for (const Kind kind : {Kind::library, Kind::templates, Kind::appActions}) {
        model.requestSheet({kind});
        settle();
    }
    model.requestSheet({Kind::buildPack, model.firstFreeSlot()});
    settle();
    model.setActiveSheet(std::nullopt);
    settle();
}

void walkTabs(SettingsWindow &window)
{
    for (const SettingsTab tab : {SettingsTab::general, SettingsTab::ai, SettingsTab::permissions}) {
        window.tabs()->setCurrentIndex(static_cast<int>(tab));
        settle();
    }
}

// Each page the ring shows, as over no application and over each app ring's:
// drawn, swept by the pointer, and every pack opened as deep as the ring goes.
class RingWalk {
public:
    RingWalk(SettingsHarness &harness, const VimaConfig &config) : harness_(harness), config_(config) {}

    void run()
    {
        QList<std::optional<QString>> contexts{std::nullopt};
        for (const Ring &ring : config_.appRings())
            contexts.append(ring.bundleIDMatch);
        for (const std::optional<QString> &context : contexts)
            showPages(config_.ringsForApp(context));
    }

private:
    void showPages(const VimaConfig::Pages &pages)
    {
        RingViewModel model(pages.rings.first(), config_.slotCount, config_.appearance, harness_.haptics,
                            harness_.beep, harness_.fixture.scheduler);
        model.resolveRing = [this](const QUuid &id) { return config_.ringWithID(id); };
        model.onActivate = [](const std::optional<RingItem> &) {};
        model.setPages(pages.rings);
        RingView view(model, false, RingStyle{}, harness_.fixture.scheduler);
        view.resize(720, 720);
        for (qsizetype page = 0; page < pages.rings.size(); ++page) {
            model.setPage(page);
            QSet<QUuid> opened;
            openPacks(model, view, opened);
        }
    }

    void openPacks(RingViewModel &model, RingView &view, QSet<QUuid> &opened)
    {
        draw(model, view);
        for (const RingItem &item : model.currentRing().items) {
            const QUuid *target = openedRingID(item);
            if (!target || opened.contains(*target))
                continue;
            opened.insert(*target);
            if (model.pushRing(*target)) {
                openPacks(model, view, opened);
                model.goBack();
            }
        }
    }

    void draw(RingViewModel &model, RingView &view)
    {
        const int slots = model.effectiveSlotCount();
        for (int slot = 0; slot < slots; ++slot) {
            const double angle = 2 * std::numbers::pi * slot / slots - std::numbers::pi / 2;
            model.pointerMoved(QPointF(360 + 100 * std::cos(angle), 360 + 100 * std::sin(angle)), QSizeF(720, 720));
        }
        model.moveFocus(1, 0);
        QImage image(360, 360, QImage::Format_ARGB32_Premultiplied);
        QPainter painter(&image);
        painter.scale(0.5, 0.5);
        view.paint(painter);
    }

    SettingsHarness &harness_;
    const VimaConfig &config_;
};

} // namespace

class TestGeneratedConfigs : public QObject {
    Q_OBJECT

    CaseGuard guard;
    const QByteArray starter = ConfigMutations::starter();
    // The settings open on the starter file across the cases, as in an agent
    // that runs for a while: each case is saved there by hand, then imported.
    std::unique_ptr<SettingsHarness> running;
    std::unique_ptr<SettingsWindowController> runningWindow;

    // Loaded on its own: refused with the reason and the file kept, or shown
    // in every view and the ring without a byte of the file changing. Every
    // item is chosen on the rings the case changed, and the sheets opened
    // when it changed a ring or a saved pack.
    void openOn(const QByteArray &bytes, const VimaConfig &reference, bool &readable)
    {
        SettingsHarness harness;
        harness.fixture.writeConfig(bytes);
        ConfigStore &store = harness.fixture.open();
        readable = !store.loadFailed();
        if (!readable) {
            QVERIFY2(saysWhy(store.lastError(), readFailure), qPrintable(store.lastError().value_or("(none)")));
        } else {
            QCOMPARE(store.lastError(), std::nullopt);
            SettingsWindowController controller(harness.context());
            controller.show(SettingsTab::items);
            SettingsWindow &window = *controller.window();
            const QList<Ring> changed = changedRings(store.config(), reference);
            ItemsSettingsModel &items = walkItems(window, changed, true);
            if (!changed.isEmpty() || store.config().savedGroups != reference.savedGroups)
                openSheets(items);
            walkTabs(window);
            RingWalk(harness, store.config()).run();
        }
        store.save(); // nothing changed: nothing written
        QVERIFY2(readAll(harness.fixture.file()) == bytes, "the file was written");
        QCOMPARE(harness.fixture.copiesAside(), QStringList());
    }

    // Back to the starter, as a hand edit taken while the settings are open.
    void restoreStarter()
    {
        writeAll(running->fixture.file(), starter);
        running->store().save();
        settle();
        QCOMPARE(running->store().lastError(), std::nullopt);
        QVERIFY(running->store().config() == ConfigStore::decode(starter));
    }

    // Saved by hand while the settings are open, then imported there over
    // the starter; a file that can't be taken leaves everything as it was.
    void editWhileOpen(const QByteArray &bytes, const VimaConfig &reference, bool readable)
    {
        ConfigStore &store = running->store();
        SettingsWindow &window = *runningWindow->window();
        const VimaConfig before = store.config(); // the starter, or the case before
        writeAll(running->fixture.file(), bytes);
        store.save(); // nothing waits to be saved here: the file is taken as it now is
        settle();
        QCOMPARE(store.lastError().has_value(), !readable);
        if (readable) {
            QVERIFY(store.config() == ConfigStore::decode(bytes));
        } else {
            QVERIFY2(saysWhy(store.lastError(), readFailure), qPrintable(*store.lastError()));
            QVERIFY(store.config() == before);
        }
        const QList<Ring> changed = changedRings(store.config(), reference);
        walkItems(window, changed, false);
        QVERIFY2(readAll(running->fixture.file()) == bytes, "the hand edit was written over");

        restoreStarter();
        const QString source = running->fixture.root.filePath(QStringLiteral("import.json"));
        writeAll(source, bytes);
        running->prompts.files = {source};
        GeneralSettingsModel &general = pageOf<GeneralSettingsView>(window, SettingsTab::general).model();
        general.importConfig(&window);
        settle();
        if (readable) {
            QCOMPARE(general.importError(), std::nullopt);
            QVERIFY(store.config() == ConfigStore::decode(bytes));
            QCOMPARE(readAll(running->fixture.file()), ConfigStore::encode(store.config()));
        } else {
            const QString failed = QStringLiteral("Import failed: ");
            const QString error = general.importError().value_or(QString());
            QVERIFY2(error.startsWith(failed) && error.size() > failed.size(), qPrintable(error));
            QVERIFY(store.config() == ConfigStore::decode(starter));
            QCOMPARE(readAll(running->fixture.file()), starter);
        }
    }

private Q_SLOTS:
    void initTestCase()
    {
        running = std::make_unique<SettingsHarness>();
        running->fixture.writeConfig(starter);
        running->fixture.open();
        runningWindow = std::make_unique<SettingsWindowController>(running->context());
        runningWindow->show(SettingsTab::items);
        walkTabs(*runningWindow->window());
    }

    void cleanupTestCase()
    {
        runningWindow.reset();
        running.reset();
    }

    void eachCase_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("index");
        QTest::newRow("starter") << QString() << 0; // every ring of it walked
        for (const QString &kind : ConfigMutations::classes())
            for (int index = 0; index < casesPerClass; ++index)
                QTest::addRow("%s#%02d", qPrintable(kind), index) << kind << index;
    }

    void eachCase()
    {
        QFETCH(QString, kind);
        QFETCH(int, index);
        guard.arm(QTest::currentDataTag());
        const auto disarm = qScopeGuard([this] { guard.arm({}); });
        const QByteArray bytes = kind.isEmpty() ? starter : ConfigMutations::make(kind, index);
        const VimaConfig reference = kind.isEmpty() ? VimaConfig() : ConfigStore::decode(starter);
        bool readable = false;
        openOn(bytes, reference, readable);
        if (QTest::currentTestFailed())
            return;
        editWhileOpen(bytes, reference, readable);
    }
};

QTEST_MAIN(TestGeneratedConfigs)
#include "tst_generatedconfigs.moc"
