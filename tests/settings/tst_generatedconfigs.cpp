// A table that keeps looking: a few hundred configuration files made from a
// fixed base one by a fixed seed (ConfigMutations), each loaded through the
// store, shown in every settings view and in the ring, taken as a hand edit
// while the settings are open, and imported. What the Items tab and the ring
// show of it is checked: a chosen copy is the one edited, a deleted copy is the
// only one gone, a ring shows its slot count bounded. Crashes, memory errors
// and overflows fail it under the asan preset. Each case runs in a process of
// its own under a memory ceiling and a time limit: one that hangs or eats
// memory fails alone, named.
#include "ConfigMutations.h"
#include "SettingsHarness.h"

#include "ring/RingView.h"
#include "ring/RingViewModel.h"
#include "settings/SettingsWindow.h"
#include "settings/SettingsWindowController.h"
#include "settings/general/GeneralSettingsModel.h"
#include "settings/general/GeneralSettingsView.h"
#include "settings/items/ItemDetailPane.h"
#include "settings/items/ItemList.h"
#include "settings/items/ItemsSettingsModel.h"
#include "settings/items/ItemsSettingsView.h"
#include "settings/items/RingHeader.h"
#include "settings/items/RingOperations.h"
#include "settings/items/SlotOperations.h"
#include "settings/kit/RingPreviewView.h"
#include "settings/packs/SavedGroupsModel.h"
#include "store/RingLinks.h"

#include <QApplication>
#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMenu>
#include <QPainter>
#include <QSet>
#include <QTabWidget>
#include <QTest>
#include <algorithm>
#include <cerrno>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <functional>
#include <memory>
#include <numbers>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace vima;
using namespace vima::test;

namespace {

// Runs the cases in a child process, one after another, each under a memory
// ceiling and a time limit of its own. A case that fails ends that process and
// the next case starts another: one that runs away fails alone and named, and
// leaves the machine to the tests beside it, while the cases that pass share
// the caches of one process (a process per case takes twice as long).
class CaseRunner {
public:
    // Generous: guards against a runaway, not a timing.
    static constexpr rlim_t ceilingMB = 1500;
    static constexpr unsigned limitSeconds = 120;
    // Of what one case writes, this much is told.
    static constexpr qsizetype longestOutput = 1024 * 1024;

    using Case = std::function<bool(const QString &kind, int index)>;

    struct Outcome {
        // What the case wrote (failures, warnings, a sanitizer's report),
        // told under the row that ran it.
        QByteArray output;
        // Why it failed; none when it passed.
        std::optional<QString> failure;
    };

    explicit CaseRunner(Case passes) : passes_(std::move(passes)) {}
    ~CaseRunner()
    {
        stop();
        if (output_ >= 0)
            close(output_);
    }

    // Runs the case of the current row.
    Outcome run(const QString &kind, int index)
    {
        if (worker_ < 0 && !start())
            return {{}, QStringLiteral("could not start a process: %1").arg(qt_error_string(errno))};
        const QByteArray request = QByteArray::number(index) + ' ' + kind.toUtf8() + '\n';
        char passed = 0;
        std::optional<QString> failure;
        if (write(toWorker_, request.constData(), size_t(request.size())) != request.size()
            || read(fromWorker_, &passed, 1) != 1 || !passed)
            failure = QStringLiteral("failed in its own process, which %1").arg(stop());
        return {takeOutput(), failure};
    }

private:
    bool start()
    {
        if (output_ < 0) {
            // Appended to, so that the worker's writes land at its end however the runner empties it.
            output_ = memfd_create("case output", 0);
            if (output_ < 0 || fcntl(output_, F_SETFL, O_APPEND) != 0)
                return false;
        }
        int requests[2], replies[2];
        if (pipe(requests) != 0 || pipe(replies) != 0)
            return false;
        std::signal(SIGPIPE, SIG_IGN); // a worker that died is told by its exit, not by a write
        std::fflush(stdout);
        std::fflush(stderr);
        // The worker goes on in this row: Qt Test names every line it writes after it.
        startedIn_ = QTest::currentDataTag();
        worker_ = fork();
        if (worker_ == 0) {
            close(requests[1]);
            close(replies[0]);
            dup2(output_, STDOUT_FILENO);
            dup2(output_, STDERR_FILENO);
            close(output_);
            serve(requests[0], replies[1]);
        }
        close(requests[0]);
        close(replies[1]);
        toWorker_ = requests[1];
        fromWorker_ = replies[0];
        return worker_ > 0;
    }

    // What the worker wrote since the last case, its lines named after the
    // current row rather than the one the worker started in.
    QByteArray takeOutput()
    {
        const off_t size = lseek(output_, 0, SEEK_END);
        QByteArray output(qsizetype(std::clamp<off_t>(size, 0, longestOutput)), Qt::Uninitialized);
        qsizetype taken = 0;
        while (taken < output.size()) {
            const ssize_t got = pread(output_, output.data() + taken, size_t(output.size() - taken), taken);
            if (got <= 0)
                break;
            taken += got;
        }
        output.truncate(taken);
        if (size > taken)
            output += QByteArrayLiteral("\n... ") + QByteArray::number(qint64(size - taken)) + " more bytes\n";
        if (ftruncate(output_, 0) != 0)
            output += QByteArrayLiteral("(the output could not be emptied: what follows repeats it)\n");
        return renamed(output, startedIn_, QTest::currentDataTag());
    }

    // Qt Test's lines name the function and its row: "eachCase(row)".
    static QByteArray renamed(QByteArray output, const QByteArray &from, const QByteArray &to)
    {
        const QByteArray function = QByteArray("::") + QTest::currentTestFunction() + '(';
        return output.replace(function + from + ')', function + to + ')');
    }

    // Ends the worker; says how it ended.
    QString stop()
    {
        if (worker_ < 0)
            return {};
        close(toWorker_);
        close(fromWorker_);
        int status = 0;
        while (waitpid(worker_, &status, 0) < 0 && errno == EINTR) {
        }
        worker_ = -1;
        if (WIFEXITED(status))
            return QStringLiteral("exited with status %1").arg(WEXITSTATUS(status));
        if (WTERMSIG(status) == SIGALRM)
            return QStringLiteral("still ran the case after %1 s").arg(limitSeconds);
        return QStringLiteral("ended by signal %1 (a case may map %2 MB more than it starts with)")
            .arg(WTERMSIG(status))
            .arg(ceilingMB);
    }

    // The worker: runs each case asked for until one fails or no more come.
    [[noreturn]] void serve(int requests, int replies)
    {
        FILE *in = fdopen(requests, "r");
        char line[256];
        while (in && std::fgets(line, sizeof line, in)) {
            const QList<QByteArray> fields = QByteArray(line).trimmed().split(' ');
            const QString kind = QString::fromUtf8(fields.value(1));
            const bool passed = bounded([&] { return passes_(kind, fields.first().toInt()); });
            std::fflush(stdout);
            std::fflush(stderr);
            const char reply = passed;
            if (!passed || write(replies, &reply, 1) != 1)
                _exit(1);
        }
        _exit(0);
    }

    // The ceiling is on what the case maps beyond what the process holds as
    // it starts: under ASan that holds terabytes of reserved shadow, so no
    // total fits both builds. Only the soft limit moves, so it can rise again.
    static bool bounded(const std::function<bool()> &passes)
    {
        rlimit limit{};
        getrlimit(RLIMIT_DATA, &limit);
        limit.rlim_cur = std::min(limit.rlim_max, (mappedKB() + ceilingMB * 1024) * 1024);
        setrlimit(RLIMIT_DATA, &limit);
        alarm(limitSeconds);
        bool passed = false;
        try {
            passed = passes();
        } catch (const std::exception &error) {
            std::fprintf(stderr, "The case threw: %s\n", error.what());
        }
        alarm(0);
        return passed;
    }

    // The private writable memory mapped now, as RLIMIT_DATA counts it.
    static rlim_t mappedKB()
    {
        QFile status(QStringLiteral("/proc/self/status"));
        if (!status.open(QIODevice::ReadOnly))
            return 0;
        for (QByteArray line = status.readLine(); !line.isEmpty(); line = status.readLine())
            if (line.startsWith("VmData:"))
                return line.mid(7).trimmed().split(' ').first().toULongLong();
        return 0;
    }

    Case passes_;
    pid_t worker_ = -1;
    int toWorker_ = -1;
    int fromWorker_ = -1;
    // Where the workers write, and the row the current one started in.
    int output_ = -1;
    QByteArray startedIn_;
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

// The slots a ring shows for the count it holds (its own, else the global
// one): none below zero, never more than the ring has room for.
qint64 shownSlots(const Ring &ring, const VimaConfig &config)
{
    const qint64 count = ring.slotCount.value_or(config.slotCount);
    return count < 0 ? 0 : std::min(count, Ring::maxSlotCount);
}

// The indexes of the elements of `list` whose "id" an earlier one has: the
// copies of a hand-pasted block, as the file holds them.
QList<int> laterCopies(const QJsonValue &list)
{
    QList<int> copies;
    QSet<QString> seen;
    const QJsonArray array = list.toArray();
    for (int index = 0; index < array.size(); ++index) {
        const QString id = array.at(index).toObject().value(QStringLiteral("id")).toString();
        if (seen.contains(id))
            copies.append(index);
        seen.insert(id);
    }
    return copies;
}

// Chooses `row` of the item list as a click does.
void chooseRow(ItemsSettingsView &tab, int row)
{
    tab.list()->setCurrentIndex(tab.list()->model()->index(row, 0));
}

// Each row of the edited ring's list chosen (or the first, when `everyRow`
// is false): the row stays chosen and its item, a copy as much as the one it
// copies, is the one edited. The tab and its preview show the ring's slots.
void chooseRows(ItemsSettingsView &tab, const VimaConfig &config, bool everyRow)
{
    const ItemsSettingsModel &model = tab.model();
    const QList<RingItem> listed = model.listedItems();
    for (int row = 0; row < (everyRow ? listed.size() : std::min<qsizetype>(listed.size(), 1)); ++row) {
        chooseRow(tab, row);
        QCOMPARE(tab.list()->currentIndex().row(), row);
        QCOMPARE(model.selectedItem(), std::optional(listed.at(row)));
    }
    const qint64 slots = shownSlots(model.editedRing(), config);
    QVERIFY2(model.slotCountText().endsWith(QStringLiteral("/ %1 slots").arg(slots)), qPrintable(model.slotCountText()));
    QCOMPARE(tab.detail()->preview()->slotAreaCount(), std::max<qint64>(slots, 1));
}

// Whether `config` differs from `reference` in what the other tabs show.
bool changedOutsideRings(VimaConfig config, const VimaConfig &reference)
{
    config.rings = reference.rings;
    config.savedGroups = reference.savedGroups;
    return !(config == reference);
}

// Each of `rings` chosen in the Items tab, and in each every row (or the
// first, when `everyRow` is false).
ItemsSettingsView &walkItems(SettingsWindow &window, const VimaConfig &config, const QList<Ring> &rings,
                             bool everyRow)
{
    auto &tab = pageOf<ItemsSettingsView>(window, SettingsTab::items);
    for (const Ring &ring : rings) {
        tab.model().selectRing(ring.id);
        settle();
        chooseRows(tab, config, everyRow);
        if (QTest::currentTestFailed())
            break;
    }
    return tab;
}

// Every entry of the ring picker chosen: each edits a ring of its own.
void chooseEachRing(ItemsSettingsView &tab)
{
    QMenu &picker = *tab.header()->pickerMenu();
    Q_EMIT picker.aboutToShow();
    QSet<qsizetype> edited;
    qsizetype entries = 0;
    for (QAction *entry : picker.actions()) {
        if (entry->isSeparator())
            continue;
        entry->trigger();
        edited.insert(tab.model().editedRingIndex());
        ++entries;
    }
    QCOMPARE(edited.size(), entries);
}

// The first copy of a pasted item, ring and saved pack deleted as the user
// would: it alone is gone.
class CopyDeletion {
public:
    CopyDeletion(SettingsHarness &harness, ItemsSettingsView &tab, const QByteArray &bytes)
        : harness_(harness), tab_(tab), file_(QJsonDocument::fromJson(bytes).object())
    {
    }

    void run()
    {
        const QJsonArray rings = file_.value(QStringLiteral("rings")).toArray();
        for (int ring = 0; ring < rings.size(); ++ring)
            if (const QList<int> copies = laterCopies(rings.at(ring)[QStringLiteral("items")]); !copies.isEmpty()) {
                deleteItem(ring, copies.first());
                break;
            }
        if (const QList<int> copies = laterCopies(rings); !copies.isEmpty())
            deleteRing(copies.first());
        if (const QList<int> copies = laterCopies(file_.value(QStringLiteral("savedGroups"))); !copies.isEmpty())
            deleteSavedPack(copies.first());
    }

private:
    const VimaConfig &config() const { return harness_.store().config(); }

    void deleteItem(int ringIndex, int itemIndex)
    {
        const Ring ring = config().rings.at(ringIndex);
        tab_.model().selectRing(ring.id);
        settle();
        chooseRow(tab_, int(tab_.model().listedItems().indexOf(ring.items.at(itemIndex))));
        harness_.prompts.confirmations = {true};
        tab_.slots().removeSelectedItem();
        settle();
        QList<RingItem> expected = ring.items;
        expected.removeAt(itemIndex);
        QCOMPARE(config().rings.at(ringIndex).items, expected);
    }

    void deleteRing(int index)
    {
        QList<Ring> expected = config().rings;
        tab_.model().selectRing(expected.at(index).id);
        expected.removeAt(index);
        harness_.prompts.confirmations = {true};
        tab_.rings().deleteRing();
        settle();
        QCOMPARE(config().rings, expected);
    }

    void deleteSavedPack(int index)
    {
        QList<SavedGroup> expected = config().savedGroups;
        SavedGroupsModel packs(harness_.store(), harness_.prompts);
        harness_.prompts.confirmations = {true};
        packs.confirmDelete(packs.rows().at(index).id, &tab_);
        settle();
        expected.removeAt(index);
        QCOMPARE(config().savedGroups, expected);
    }

    SettingsHarness &harness_;
    ItemsSettingsView &tab_;
    const QJsonObject file_;
};

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
        QCOMPARE(slots, std::max<qint64>(shownSlots(model.currentRing(), config_), 1));
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

// The settings open on the base file, where a case is saved by hand, then
// imported.
struct OpenOnBase {
    explicit OpenOnBase(const QByteArray &base)
    {
        harness.fixture.writeConfig(base);
        harness.fixture.open();
        controller = std::make_unique<SettingsWindowController>(harness.context());
        controller->show(SettingsTab::items);
    }
    SettingsWindow &window() { return *controller->window(); }
    ConfigStore &store() { return harness.store(); }

    SettingsHarness harness;
    std::unique_ptr<SettingsWindowController> controller;
};

class TestGeneratedConfigs : public QObject {
    Q_OBJECT

    const QByteArray base = ConfigMutations::base();
    CaseRunner runner{[this](const QString &kind, int index) { return passes(kind, index); }};
    // Warns and passes, but fails case 2.
    CaseRunner lineRunner{[](const QString &, int index) {
        qWarning("case %d", index);
        return index != 2;
    }};

    // Loaded on its own: refused with the reason and the file kept, or shown
    // in every view and the ring without a byte of the file changing. Every
    // row is chosen on the rings the case changed, the sheets opened when it
    // changed a ring or a saved pack, the other tabs when it changed what they
    // show; then the copies it pasted are deleted.
    void openOn(const QByteArray &bytes, const VimaConfig &reference, bool &readable)
    {
        SettingsHarness harness;
        harness.fixture.writeConfig(bytes);
        ConfigStore &store = harness.fixture.open();
        readable = !store.loadFailed();
        if (!readable) {
            QVERIFY2(saysWhy(store.lastError(), readFailure), qPrintable(store.lastError().value_or("(none)")));
            checkUnwritten(harness, bytes);
            return;
        }
        QCOMPARE(store.lastError(), std::nullopt);
        SettingsWindowController controller(harness.context());
        controller.show(SettingsTab::items);
        SettingsWindow &window = *controller.window();
        const VimaConfig config = store.config();
        const QList<Ring> changed = changedRings(config, reference);
        ItemsSettingsView &tab = walkItems(window, config, changed, true);
        if (QTest::currentTestFailed())
            return;
        chooseEachRing(tab);
        if (!changed.isEmpty() || config.savedGroups != reference.savedGroups)
            openSheets(tab.model());
        if (changedOutsideRings(config, reference))
            walkTabs(window);
        RingWalk(harness, config).run();
        if (QTest::currentTestFailed())
            return;
        checkUnwritten(harness, bytes);
        CopyDeletion(harness, tab, bytes).run();
    }

    void checkUnwritten(SettingsHarness &harness, const QByteArray &bytes)
    {
        harness.store().save(); // nothing changed: nothing written
        QVERIFY2(readAll(harness.fixture.file()) == bytes, "the file was written");
        QCOMPARE(harness.fixture.copiesAside(), QStringList());
    }

    // Back to the base, as a hand edit taken while the settings are open.
    void restoreBase(OpenOnBase &running)
    {
        writeAll(running.harness.fixture.file(), base);
        running.store().save();
        settle();
        QCOMPARE(running.store().lastError(), std::nullopt);
        QVERIFY(running.store().config() == ConfigStore::decode(base));
    }

    // Saved by hand while the settings are open, then imported there over
    // the base; a file that can't be taken leaves everything as it was.
    void editWhileOpen(const QByteArray &bytes, const VimaConfig &reference, bool readable)
    {
        OpenOnBase running(base);
        ConfigStore &store = running.store();
        SettingsWindow &window = running.window();
        writeAll(running.harness.fixture.file(), bytes);
        store.save(); // nothing waits to be saved here: the file is taken as it now is
        settle();
        QCOMPARE(store.lastError().has_value(), !readable);
        if (readable) {
            QVERIFY(store.config() == ConfigStore::decode(bytes));
        } else {
            QVERIFY2(saysWhy(store.lastError(), readFailure), qPrintable(*store.lastError()));
            QVERIFY(store.config() == reference);
        }
        walkItems(window, store.config(), changedRings(store.config(), reference), false);
        QVERIFY2(readAll(running.harness.fixture.file()) == bytes, "the hand edit was written over");

        restoreBase(running);
        const QString source = running.harness.fixture.root.filePath(QStringLiteral("import.json"));
        writeAll(source, bytes);
        running.harness.prompts.files = {source};
        GeneralSettingsModel &general = pageOf<GeneralSettingsView>(window, SettingsTab::general).model();
        general.importConfig(&window);
        settle();
        if (readable) {
            QCOMPARE(general.importError(), std::nullopt);
            QVERIFY(store.config() == ConfigStore::decode(bytes));
            QCOMPARE(readAll(running.harness.fixture.file()), ConfigStore::encode(store.config()));
        } else {
            const QString failed = QStringLiteral("Import failed: ");
            const QString error = general.importError().value_or(QString());
            QVERIFY2(error.startsWith(failed) && error.size() > failed.size(), qPrintable(error));
            QVERIFY(store.config() == reference);
            QCOMPARE(readAll(running.harness.fixture.file()), base);
        }
    }

    bool passes(const QString &kind, int index)
    {
        const QByteArray bytes = kind.isEmpty() ? base : ConfigMutations::make(kind, index);
        const VimaConfig reference = kind.isEmpty() ? VimaConfig() : ConfigStore::decode(base);
        bool readable = false;
        openOn(bytes, reference, readable);
        if (!QTest::currentTestFailed())
            editWhileOpen(bytes, reference, readable);
        return !QTest::currentTestFailed();
    }

private Q_SLOTS:
    void eachCase_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("index");
        QTest::newRow("base") << QString() << 0; // every ring of it walked
        for (const QString &kind : ConfigMutations::classes())
            for (int index = 0; index < ConfigMutations::caseCount(kind); ++index)
                QTest::addRow("%s#%02d", qPrintable(kind), index) << kind << index;
    }

    void eachCase()
    {
        QFETCH(QString, kind);
        QFETCH(int, index);
        const CaseRunner::Outcome outcome = runner.run(kind, index);
        std::fwrite(outcome.output.constData(), 1, size_t(outcome.output.size()), stdout);
        std::fflush(stdout);
        QVERIFY2(!outcome.failure, qPrintable(QStringLiteral("%1 %2").arg(QTest::currentDataTag(), outcome.failure.value_or(QString()))));
    }

    // The worker's lines are told under the case that wrote them, though
    // Qt Test in it names the row it started in.
    void aWorkersLinesNameTheirCase_data()
    {
        QTest::addColumn<int>("index");
        QTest::newRow("starts the worker") << 0;
        QTest::newRow("passes in it") << 1;
        QTest::newRow("fails in it") << 2;
    }

    void aWorkersLinesNameTheirCase()
    {
        QFETCH(int, index);
        const CaseRunner::Outcome outcome = lineRunner.run(QString(), index);
        QCOMPARE(outcome.failure.has_value(), index == 2);
        const QByteArray row = QByteArray("::aWorkersLinesNameTheirCase(") + QTest::currentDataTag() + ')';
        QVERIFY2(outcome.output.contains(row + " case " + QByteArray::number(index)), outcome.output.constData());
        QCOMPARE(outcome.output.count("::aWorkersLinesNameTheirCase("), 1);
    }
};

QTEST_MAIN(TestGeneratedConfigs)
#include "tst_generatedconfigs.moc"
