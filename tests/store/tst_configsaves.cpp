#include "StoreTestSupport.h"

#include <QRegularExpression>
#include <QTest>
#include <cerrno>
#include <cstring>
#include <dlfcn.h>
#include <fcntl.h>
#include <functional>
#include <unistd.h>

using namespace vima;
using namespace vima::test;

// The system calls a save makes, made to fail on demand, or to let an outside
// save land while they run. Defined here, they take the place of the C
// library's for the whole test program.
namespace {

QHash<QByteArray, int> failures; // the error each call fails with
QByteArray landingCall;
int landingSpared = 0;
std::function<void()> landing;

void land(const char *call)
{
    if (landingCall == call && landing && landingSpared-- <= 0)
        std::exchange(landing, {})();
}

bool failsOnly(const char *call)
{
    const int error = failures.value(QByteArray(call));
    if (error == 0)
        return false;
    errno = error;
    return true;
}

bool fails(const char *call)
{
    land(call);
    return failsOnly(call);
}

template <typename Function>
Function next(const char *name)
{
    return reinterpret_cast<Function>(::dlsym(RTLD_NEXT, name));
}

} // namespace

extern "C" ssize_t write(int fd, const void *bytes, size_t count)
{
    static const auto real = next<ssize_t (*)(int, const void *, size_t)>("write");
    return fails("write") ? -1 : real(fd, bytes, count);
}

extern "C" int fdatasync(int fd)
{
    static const auto real = next<int (*)(int)>("fdatasync");
    return fails("fdatasync") ? -1 : real(fd);
}

extern "C" int fsync(int fd)
{
    static const auto real = next<int (*)(int)>("fsync");
    return fails("fsync") ? -1 : real(fd);
}

extern "C" int rename(const char *from, const char *to)
{
    static const auto real = next<int (*)(const char *, const char *)>("rename");
    return fails("rename") ? -1 : real(from, to);
}

// An outside save lands once the link is made: between a pin and the rename.
extern "C" int link(const char *from, const char *to)
{
    static const auto real = next<int (*)(const char *, const char *)>("link");
    if (failsOnly("link"))
        return -1;
    const int made = real(from, to);
    land("link");
    return made;
}

extern "C" int renameat2(int fromFolder, const char *from, int toFolder, const char *to, unsigned flags)
{
    static const auto real = next<int (*)(int, const char *, int, const char *, unsigned)>("renameat2");
    return fails("renameat2") ? -1 : real(fromFolder, from, toFolder, to, flags);
}

namespace {

// Fails `call` with `error` for as long as it lives.
struct Failing {
    Failing(const QByteArray &call, int error) : call_(call) { failures.insert(call, error); }
    ~Failing() { failures.remove(call_); }
    QByteArray call_;
};

// Runs `save` at the `call` made after `spared` such calls while it lives.
struct Landing {
    Landing(const QByteArray &call, std::function<void()> save, int spared = 0)
    {
        landingCall = call;
        landingSpared = spared;
        landing = std::move(save);
    }
    ~Landing() { landing = {}; }
};

// How an editor saves config.json: begun while the store saves, finished after.
enum class Editor { renamesOver, writesInPlace, truncatesThenWrites, holdsOpenThenWrites, appendsInSteps };

// NFS, CIFS, vfat and many FUSE mounts can't exchange two files; vfat has no links either.
enum class FileSystem { exchanges, noExchange, noLinks };

class OutsideSave {
public:
    OutsideSave(Editor editor, const QString &path, const QByteArray &bytes)
        : editor_(editor), path_(path), native_(QFile::encodeName(path)), bytes_(bytes)
    {
    }
    ~OutsideSave()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    void begin()
    {
        switch (editor_) {
        case Editor::renamesOver:
            QVERIFY(writeAll(path_ + QStringLiteral(".new"), bytes_));
            QCOMPARE(::rename((native_ + ".new").constData(), native_.constData()), 0);
            return;
        case Editor::writesInPlace:
            QVERIFY(writeAll(path_, bytes_));
            return;
        case Editor::truncatesThenWrites:
        case Editor::appendsInSteps:
            fd_ = ::open(native_.constData(), O_WRONLY | O_TRUNC);
            QVERIFY(fd_ >= 0 && ::write(fd_, bytes_.constData(), half()) == half());
            if (editor_ == Editor::appendsInSteps) // and opens the file again for the rest
                ::close(std::exchange(fd_, -1));
            return;
        case Editor::holdsOpenThenWrites:
            fd_ = ::open(native_.constData(), O_WRONLY);
            QVERIFY(fd_ >= 0);
            return;
        }
    }
    void finish()
    {
        if (editor_ == Editor::appendsInSteps)
            fd_ = ::open(native_.constData(), O_WRONLY | O_APPEND);
        if (fd_ < 0)
            return; // done at once
        const qsizetype done = editor_ == Editor::holdsOpenThenWrites ? 0 : half();
        QVERIFY(done > 0 || ::ftruncate(fd_, 0) == 0);
        QCOMPARE(::write(fd_, bytes_.constData() + done, size_t(bytes_.size() - done)), ssize_t(bytes_.size() - done));
        ::close(std::exchange(fd_, -1));
    }

private:
    qsizetype half() const { return bytes_.size() / 2; }

    Editor editor_;
    QString path_;
    QByteArray native_;
    QByteArray bytes_;
    int fd_ = -1;
};

QString systemText(int error) { return QString::fromLocal8Bit(std::strerror(error)); }

// Hidden ones too: a save's temporary file is.
QStringList entries(const StoreFixture &fixture)
{
    return QDir(fixture.folder()).entryList(QDir::Files | QDir::Hidden);
}

} // namespace

Q_DECLARE_METATYPE(Editor)
Q_DECLARE_METATYPE(FileSystem)

class TestConfigSaves : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // A save that fails says why in the system's words; the file keeps its
    // bytes and no temporary file stays.
    void failedSavesTellTheTruth_data()
    {
        QTest::addColumn<QByteArray>("call");
        QTest::addColumn<int>("error");
        QTest::newRow("full disk") << QByteArray("write") << ENOSPC;
        QTest::newRow("quota") << QByteArray("write") << EDQUOT;
        QTest::newRow("file sync") << QByteArray("fdatasync") << EIO;
        QTest::newRow("rename") << QByteArray("renameat2") << EROFS;
    }
    void failedSavesTellTheTruth()
    {
        QFETCH(QByteArray, call);
        QFETCH(int, error);
        StoreFixture fixture;
        ConfigStore &store = fixture.open(sampleConfig());
        const QByteArray before = readAll(fixture.file());
        const QStringList files = entries(fixture);
        store.edit([](VimaConfig &config) { config.slotCount = 6; });
        {
            const Failing failing(call, error);
            fixture.scheduler.runAll();
        }
        QCOMPARE(store.lastError(), QStringLiteral("Could not save config.json: ") + systemText(error));
        QCOMPARE(entries(fixture), files);
        QCOMPARE(readAll(fixture.file()), before);

        store.save(); // the next save tries again, and goes well
        QCOMPARE(store.lastError(), std::nullopt);
        QCOMPARE(ConfigStore::decode(readAll(fixture.file())).slotCount, 6);
        QVERIFY(fixture.copiesAside().isEmpty());
    }

    // Once the new file is in place the save is done: a folder that can't be
    // synced after the rename leaves in doubt only whether it survives a power
    // loss. Logged, not told as a failed save, and nothing is written twice.
    void unsyncedFolderIsAWarning()
    {
        StoreFixture fixture;
        ConfigStore &store = fixture.open(sampleConfig());
        store.edit([](VimaConfig &config) { config.slotCount = 6; });
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("could not sync its folder: ")
                                                              + QRegularExpression::escape(systemText(EIO))));
        {
            const Failing failing("fsync", EIO);
            fixture.scheduler.runAll();
        }
        QCOMPARE(store.lastError(), std::nullopt);
        QCOMPARE(ConfigStore::decode(readAll(fixture.file())).slotCount, 6);
        const Failing failing("write", ENOSPC);
        store.save();
        QCOMPARE(store.lastError(), std::nullopt);
    }

    // An outside save that lands while the store writes, syncs or renames is
    // never written away unseen: before the rename it is kept whole beside
    // (also what an editor writes into the file after that), just after it
    // is loaded; a save waits for a file half written by path. Also where the
    // file system can't exchange two files, in the window between pinning
    // what is replaced (by a link, else by a copy) and the rename.
    void outsideSavesRacingASaveAreKeptWhole_data()
    {
        QTest::addColumn<QByteArray>("window");
        QTest::addColumn<int>("spared"); // calls of `window` before the one it lands at
        QTest::addColumn<Editor>("editor");
        QTest::addColumn<FileSystem>("fileSystem");
        QTest::addColumn<bool>("afterRename");
        const std::pair<const char *, Editor> editors[] = {{"renamed over", Editor::renamesOver},
                                                           {"in place", Editor::writesInPlace},
                                                           {"truncated, then written", Editor::truncatesThenWrites},
                                                           {"held open, then written", Editor::holdsOpenThenWrites},
                                                           {"appended to in steps", Editor::appendsInSteps}};
        struct Window {
            FileSystem fileSystem;
            QByteArray call;
            int spared = 0;
            bool afterRename = false;
        };
        using enum FileSystem;
        const Window windows[] = {
            {exchanges, "write"}, {exchanges, "fdatasync"}, {exchanges, "renameat2"}, {exchanges, "fsync", 0, true},
            {noExchange, "write"}, {noExchange, "fdatasync"}, {noExchange, "renameat2"}, {noExchange, "link"},
            {noExchange, "fsync", 0, true},
            {noLinks, "write"}, {noLinks, "fdatasync"}, {noLinks, "renameat2"},
            // the copy that pins: written, synced, renamed, its folder synced
            {noLinks, "write", 1}, {noLinks, "fdatasync", 1}, {noLinks, "rename"}, {noLinks, "fsync"},
            {noLinks, "fsync", 1, true}};
        const char *const fileSystems[] = {"", ", no exchange", ", no links"};
        for (const Window &window : windows) {
            for (const auto &[name, editor] : editors) {
                // Between the last look and the exchange itself, only what is
                // written into the same open file is not lost.
                if (window.fileSystem == exchanges && window.call == "renameat2" && editor == Editor::appendsInSteps)
                    continue;
                // A copy is no link: what is written after the rename into the
                // file opened before it goes with the entry the rename replaced.
                if (window.fileSystem == noLinks && !window.afterRename && editor == Editor::holdsOpenThenWrites)
                    continue;
                QTest::addRow("%s#%d: %s%s", window.call.constData(), window.spared + 1, name,
                              fileSystems[int(window.fileSystem)])
                    << window.call << window.spared << editor << window.fileSystem << window.afterRename;
            }
        }
    }
    void outsideSavesRacingASaveAreKeptWhole()
    {
        QFETCH(QByteArray, window);
        QFETCH(int, spared);
        QFETCH(Editor, editor);
        QFETCH(FileSystem, fileSystem);
        QFETCH(bool, afterRename);
        StoreFixture fixture;
        ConfigStore &store = fixture.open(sampleConfig());
        VimaConfig theirs = sampleConfig();
        theirs.rings.first().name = QStringLiteral("Edited outside");
        const QByteArray bytes = ConfigStore::encode(theirs);
        OutsideSave outside(editor, fixture.file(), bytes);
        store.edit([](VimaConfig &config) { config.slotCount = 6; });
        {
            const Failing noExchange(fileSystem == FileSystem::exchanges ? QByteArray() : "renameat2", EINVAL);
            const Failing noLinks(fileSystem == FileSystem::noLinks ? "link" : QByteArray(), EPERM);
            const Landing landing(window, [&outside] { outside.begin(); }, spared);
            fixture.scheduler.advance(ConfigStore::saveDelay);
        }
        outside.finish();
        fixture.scheduler.runAll();
        store.save(); // looks again, as the watcher does once the file is quiet

        QCOMPARE(store.lastError(), std::nullopt);
        const QStringList copies = fixture.copiesAside();
        if (afterRename) { // theirs is the file now
            QCOMPARE(store.config(), theirs);
            QVERIFY(copies.isEmpty());
            return;
        }
        QCOMPARE(store.config().slotCount, 6);
        QCOMPARE(ConfigStore::decode(readAll(fixture.file())).slotCount, 6);
        QCOMPARE(copies.size(), 1);
        QCOMPARE(readAll(fixture.folder() + QLatin1Char('/') + copies.first()), bytes);
        QVERIFY(store.notice().value_or(QString()).contains(copies.first()));
        QCOMPARE(entries(fixture), QStringList({QStringLiteral("config.json"), copies.first()}));
    }

    // A save waits for a file that is being written, also one the watcher
    // has already found half written; once the editor is done, or the file
    // has stayed as it is a while, it is kept aside whole. One rewritten
    // again and again holds a change made here back no longer than a ceiling.
    void aSaveWaitsForAFileBeingWritten_data()
    {
        QTest::addColumn<bool>("seenHalfWritten");
        QTest::addColumn<bool>("finished");
        QTest::addColumn<bool>("keepsRewriting");
        QTest::newRow("left half written") << false << false << false;
        QTest::newRow("finished") << false << true << false;
        QTest::newRow("seen half written, then finished") << true << true << false;
        QTest::newRow("rewritten half every second") << false << false << true;
    }
    void aSaveWaitsForAFileBeingWritten()
    {
        QFETCH(bool, seenHalfWritten);
        QFETCH(bool, finished);
        QFETCH(bool, keepsRewriting);
        StoreFixture fixture;
        ConfigStore &store = fixture.open(sampleConfig());
        const QByteArray theirs = ConfigStore::encode(VimaConfig{});
        const QByteArray half = theirs.left(theirs.size() / 2);
        QVERIFY(writeAll(fixture.file(), half));
        if (seenHalfWritten)
            store.save(); // as the watcher looks once the file is quiet
        store.edit([](VimaConfig &config) { config.slotCount = 6; });
        fixture.scheduler.advance(ConfigStore::saveDelay);
        QCOMPARE(readAll(fixture.file()), half);
        QVERIFY(fixture.copiesAside().isEmpty());
        QFile file(fixture.file()); // the rest, by an editor that opens the file again
        QVERIFY(!finished || (file.open(QIODevice::Append) && file.write(theirs.mid(half.size())) > 0));
        file.close();
        QByteArray last = finished ? theirs : half;
        for (int second = 1; keepsRewriting && fixture.copiesAside().isEmpty(); ++second) {
            QVERIFY(second <= OutsideVersions::editorCeiling + OutsideVersions::editorPatience);
            last = half + QByteArray::number(second);
            QVERIFY(writeAll(fixture.file(), last));
            fixture.scheduler.advance(1);
        }

        fixture.scheduler.advance(OutsideVersions::editorPatience);
        const QStringList copies = fixture.copiesAside();
        QCOMPARE(copies.size(), 1);
        QCOMPARE(readAll(fixture.folder() + QLatin1Char('/') + copies.first()), last);
        QCOMPARE(ConfigStore::decode(readAll(fixture.file())).slotCount, 6);
    }

    // Reset to Defaults keeps the file it replaces, as an import does.
    void resetKeepsACopyFirst()
    {
        StoreFixture fixture;
        ConfigStore &store = fixture.open(sampleConfig());
        const QByteArray before = readAll(fixture.file());
        QVERIFY(store.resetToDefaults());
        QCOMPARE(store.config().rings.first().name, QStringLiteral("Default"));
        QCOMPARE(ConfigStore::decode(readAll(fixture.file())).rings.first().name, QStringLiteral("Default"));
        const QStringList copies = fixture.copiesAside();
        QCOMPARE(copies.size(), 1);
        QCOMPARE(readAll(fixture.folder() + QLatin1Char('/') + copies.first()), before);
    }

    // ...and when it can't, changes nothing and says why.
    void resetThatCannotKeepACopyChangesNothing()
    {
        StoreFixture fixture;
        const VimaConfig config = sampleConfig();
        ConfigStore &store = fixture.open(config);
        const QByteArray before = readAll(fixture.file());
        {
            const Failing failing("write", ENOSPC);
            QVERIFY(!store.resetToDefaults());
        }
        QCOMPARE(store.config(), config);
        QVERIFY(store.lastError().value_or(QString()).contains(systemText(ENOSPC)));
        fixture.scheduler.runAll();
        QCOMPARE(readAll(fixture.file()), before);
        QCOMPARE(entries(fixture), QStringList{QStringLiteral("config.json")});
    }
};

QTEST_GUILESS_MAIN(TestConfigSaves)
#include "tst_configsaves.moc"
