#include "StoreTestSupport.h"

#include "store/FileError.h"
#include "store/SafeFile.h"

#include <QFileInfo>
#include <QTest>
#include <csignal>
#include <sys/stat.h>
#include <unistd.h>

using namespace vima;
using namespace vima::test;

namespace {

// What stands at a path before the store looks at it.
enum class Entry { namedPipe, linkToDevZero, folder, oversizeSparseFile, danglingLink, linkToNonConfig };

// Makes `entry` at `path`; a link's target goes under `scratch`.
bool make(Entry entry, const QString &path, const QString &scratch)
{
    const QByteArray native = QFile::encodeName(path);
    const QString target = scratch + QStringLiteral("/target");
    switch (entry) {
    case Entry::namedPipe:
        return ::mkfifo(native.constData(), 0600) == 0;
    case Entry::linkToDevZero:
        return QFile::link(QStringLiteral("/dev/zero"), path);
    case Entry::folder:
        return QDir().mkpath(path);
    case Entry::oversizeSparseFile:
        return writeAll(path, "{") && ::truncate(native.constData(), safe_file::maxFileSize + 1) == 0;
    case Entry::danglingLink:
        return QFile::link(scratch + QStringLiteral("/nowhere"), path);
    case Entry::linkToNonConfig:
        return writeAll(target, "root:x:0:0:root:/root:/bin/sh\n") && QFile::link(target, path);
    }
    return false;
}

// What changes on disk under a link to a good configuration while the store runs.
enum class LinkChange { none, targetEdited, targetBroken, repointed };

// Makes `change` to the link at `path`; returns the file it leads to now, a
// new target going under `scratch`.
QString make(LinkChange change, const QString &path, const QString &scratch)
{
    const QString loaded = QFileInfo(path).symLinkTarget();
    const QString renamed = path + QStringLiteral(".new");
    VimaConfig edited = sampleConfig();
    edited.slotCount = 10;
    switch (change) {
    case LinkChange::none:
        return loaded;
    case LinkChange::targetEdited:
        return writeAll(loaded, ConfigStore::encode(edited)) ? loaded : QString();
    case LinkChange::targetBroken:
        return writeAll(loaded, "{ half an edit") ? loaded : QString();
    case LinkChange::repointed: // by a new link renamed over it
        return make(Entry::linkToNonConfig, renamed, scratch)
                && ::rename(QFile::encodeName(renamed).constData(), QFile::encodeName(path).constData()) == 0
            ? scratch + QStringLiteral("/target")
            : QString();
    }
    return {};
}

mode_t kindOf(const QString &path)
{
    struct stat info;
    return ::lstat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_mode & S_IFMT : 0;
}

void entries_data()
{
    QTest::addColumn<Entry>("entry");
    QTest::addColumn<QString>("reason");
    QTest::newRow("named pipe") << Entry::namedPipe << "is a named pipe, not a file.";
    QTest::newRow("link to /dev/zero") << Entry::linkToDevZero << "is a device, not a file.";
    QTest::newRow("folder") << Entry::folder << "is a folder, not a file.";
    QTest::newRow("oversize sparse file") << Entry::oversizeSparseFile << "is larger than 64 MB.";
    QTest::newRow("dangling link") << Entry::danglingLink << "No such file or directory";
    QTest::newRow("link to a file that isn't a configuration") << Entry::linkToNonConfig << "not valid JSON";
}

// A read that blocks or never ends fails the test instead of hanging it.
struct Watchdog {
    Watchdog() { ::alarm(20); }
    ~Watchdog() { ::alarm(0); }
};

} // namespace

Q_DECLARE_METATYPE(Entry)
Q_DECLARE_METATYPE(LinkChange)

class TestConfigFile : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // At start: defaults and the reason, at once; the entry is left as it is
    // until a change, which keeps it aside (without reading it) and puts a
    // regular file in its place, a link's target untouched. A folder can be
    // kept by no means: it stays, and the save says so.
    void entriesThatAreNotConfigurationsAtStart_data() { entries_data(); }
    void entriesThatAreNotConfigurationsAtStart()
    {
        QFETCH(Entry, entry);
        QFETCH(QString, reason);
        const Watchdog watchdog;
        StoreFixture fixture;
        QVERIFY(QDir().mkpath(fixture.folder()));
        QVERIFY(make(entry, fixture.file(), fixture.root.path()));
        const mode_t kind = kindOf(fixture.file());
        const QByteArray target = readAll(fixture.root.filePath(QStringLiteral("target")));

        ConfigStore &store = fixture.open();
        QVERIFY(store.loadFailed());
        QVERIFY(!store.isFirstLaunch());
        QVERIFY2(store.lastError().value_or(QString()).contains(reason), qPrintable(store.lastError().value_or("")));
        store.save();
        QCOMPARE(kindOf(fixture.file()), kind);

        store.edit([](VimaConfig &config) { config.slotCount = 6; });
        fixture.scheduler.runAll();
        QCOMPARE(readAll(fixture.root.filePath(QStringLiteral("target"))), target);
        if (entry == Entry::folder) {
            QVERIFY(store.lastError().value_or(QString()).startsWith(QStringLiteral("Could not save config.json: ")));
            QCOMPARE(kindOf(fixture.file()), mode_t(S_IFDIR));
            return;
        }
        QCOMPARE(store.lastError(), std::nullopt);
        QCOMPARE(kindOf(fixture.file()), mode_t(S_IFREG));
        QCOMPARE(ConfigStore::decode(readAll(fixture.file())).slotCount, 6);
        const QStringList copies = fixture.copiesAside();
        QCOMPARE(copies.size(), 1);
        const QString copy = fixture.folder() + QLatin1Char('/') + copies.first();
        if (entry == Entry::linkToNonConfig)
            QCOMPARE(readAll(copy), target);
        else
            QCOMPARE(kindOf(copy), kind);
    }

    // An import of such an entry is refused at once and changes nothing.
    void entriesThatAreNotConfigurationsAtImport_data() { entries_data(); }
    void entriesThatAreNotConfigurationsAtImport()
    {
        QFETCH(Entry, entry);
        QFETCH(QString, reason);
        const Watchdog watchdog;
        StoreFixture fixture;
        const VimaConfig config = sampleConfig();
        ConfigStore &store = fixture.open(config);
        const QByteArray before = readAll(fixture.file());
        const QString source = fixture.root.filePath(QStringLiteral("import.json"));
        QVERIFY(make(entry, source, fixture.root.path()));
        try {
            store.importConfig(source);
            QFAIL("imported");
        } catch (const FileError &error) {
            QVERIFY2(error.description().contains(reason), qPrintable(error.description()));
        } catch (const std::exception &) {
            QVERIFY2(entry == Entry::linkToNonConfig, "refused for another reason");
        }
        QCOMPARE(store.config(), config);
        QCOMPARE(readAll(fixture.file()), before);
        QVERIFY(fixture.copiesAside().isEmpty());
    }

    // A dotfile manager's link to a good configuration is written through,
    // also after its target was edited into another one; a link is never
    // written through into a file that wasn't loaded: it is replaced.
    void aLinkIsWrittenThroughOnlyIntoTheFileLoaded_data()
    {
        QTest::addColumn<LinkChange>("change");
        QTest::addColumn<bool>("pending");
        QTest::addColumn<bool>("writtenThrough");
        QTest::newRow("unchanged") << LinkChange::none << false << true;
        QTest::newRow("target edited, then loaded") << LinkChange::targetEdited << false << true;
        QTest::newRow("target broken, then refused") << LinkChange::targetBroken << false << false;
        QTest::newRow("re-pointed, then refused") << LinkChange::repointed << false << false;
        QTest::newRow("re-pointed while a change waits") << LinkChange::repointed << true << false;
    }
    void aLinkIsWrittenThroughOnlyIntoTheFileLoaded()
    {
        QFETCH(LinkChange, change);
        QFETCH(bool, pending);
        QFETCH(bool, writtenThrough);
        StoreFixture fixture;
        QVERIFY(QDir().mkpath(fixture.folder()));
        const QString loaded = fixture.root.filePath(QStringLiteral("dotfiles-config.json"));
        QVERIFY(writeAll(loaded, ConfigStore::encode(sampleConfig())));
        QVERIFY(QFile::link(loaded, fixture.file()));
        ConfigStore &store = fixture.open();
        QVERIFY(!store.loadFailed());
        const auto edit = [&store] { store.edit([](VimaConfig &config) { config.slotCount = 6; }); };
        if (pending)
            edit();
        const QString target = make(change, fixture.file(), fixture.root.path());
        QVERIFY(!target.isEmpty());
        const QByteArray before = readAll(target);
        if (!pending) {
            store.save(); // looks at the file, as the watcher does once it is quiet
            edit();
        }
        fixture.scheduler.runAll();

        QCOMPARE(store.lastError(), std::nullopt);
        QCOMPARE(ConfigStore::decode(readAll(fixture.file())).slotCount, 6);
        QCOMPARE(kindOf(fixture.file()), mode_t(writtenThrough ? S_IFLNK : S_IFREG));
        if (!writtenThrough) {
            QCOMPARE(readAll(target), before);
            const QStringList copies = fixture.copiesAside();
            QCOMPARE(copies.size(), 1);
            QCOMPARE(readAll(fixture.folder() + QLatin1Char('/') + copies.first()), before);
        }
        const QStringList beside{QStringLiteral("*dotfiles-config.json.*"), QStringLiteral("*target.*")};
        QVERIFY(QDir(fixture.root.path()).entryList(beside, QDir::Files | QDir::Hidden).isEmpty());
    }

    // A save cut short leaves ".config.json.tavelon-XXXXXX", or, copying
    // what it replaces where there are no links, "..config.json.tavelon-XXXXXX.tavelon-YYYYYY"
    // or, for a copy kept aside, ".config.json.<time>.bak.tavelon-XXXXXX";
    // the next start removes them and nothing else: the user's own copies
    // stay. One that holds another configuration may be an outside save that
    // a save had just replaced: it is kept as a copy.
    void leftoverTemporaryFilesGoAtStart()
    {
        StoreFixture fixture;
        fixture.writeConfig(sampleConfig());
        const QStringList leftovers{QStringLiteral(".config.json.tavelon-a1B2c3"),
                                    QStringLiteral(".config.json.tavelon-ZZZZZZ"),
                                    QStringLiteral(".config.json.tavelon-s4M3e5"),
                                    QStringLiteral(".config.json.2026-01-02T03-04-05-2.bak.tavelon-b4K9z1"),
                                    QStringLiteral("..config.json.tavelon-a1B2c3.tavelon-d4E5f6")};
        const QStringList kept{QStringLiteral("config.json"),
                               QStringLiteral("config.json.2026-01-02T03-04-05.bak"),
                               QStringLiteral("config.json.backup"),
                               QStringLiteral("config.json.orig12"),
                               QStringLiteral("config.json.a1B2c3"),
                               QStringLiteral("config.json.notes"),
                               QStringLiteral(".config.json.tavelon-a1B2c3.bak"),
                               QStringLiteral(".other.json.tavelon-a1B2c3")};
        for (const QString &name : leftovers + kept) {
            const QByteArray bytes = name == leftovers.last() ? readAll(fixture.file()) : "x";
            QVERIFY(name == kept.first() || writeAll(fixture.folder() + QLatin1Char('/') + name, bytes));
        }
        const QByteArray theirs = ConfigStore::encode(VimaConfig{});
        for (const char *name : {".config.json.tavelon-0utS1d", "..config.json.tavelon-0utS1d.tavelon-c0P1ed"})
            QVERIFY(writeAll(fixture.folder() + QLatin1Char('/') + QLatin1String(name), theirs));
        fixture.open();
        QStringList copies = fixture.copiesAside();
        QVERIFY(copies.removeOne(kept.at(1)));
        QCOMPARE(copies.size(), 2);
        for (const QString &copy : copies)
            QCOMPARE(readAll(fixture.folder() + QLatin1Char('/') + copy), theirs);
        QStringList expected = kept + copies;
        expected.sort();
        QCOMPARE(QDir(fixture.folder()).entryList(QDir::Files | QDir::Hidden, QDir::Name), expected);
    }
};

QTEST_GUILESS_MAIN(TestConfigFile)
#include "tst_configfile.moc"
