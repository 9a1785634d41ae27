#include "StoreTestSupport.h"

#include "platform/DefaultBrowser.h"
#include "platform/fake/FakeDesktopOpener.h"
#include "store/ConfigError.h"
#include "store/FileError.h"
#include "store/RingLinks.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>
#include <cstdio>

using namespace vima;
using namespace vima::test;

Q_DECLARE_METATYPE(vima::HotkeySpec)

namespace {

QByteArray withVersion(qint64 version)
{
    QJsonObject object = sampleConfig().toJson();
    object.insert(QStringLiteral("version"), version);
    return QJsonDocument(object).toJson();
}

QStringList ringNames(const QList<Ring> &rings)
{
    QStringList names;
    for (const Ring &ring : rings)
        names.append(ring.name);
    return names;
}

bool isDefaultConfig(const VimaConfig &config)
{
    // Rings carry fresh ids on every build: compare everything else.
    VimaConfig expected = ConfigStore::makeDefaultConfig();
    return ringNames(config.rings) == ringNames(expected.rings) && config.ai == expected.ai
        && config.hotkey == expected.hotkey && config.slotCount == expected.slotCount
        && config.appearance == expected.appearance && config.savedGroups.isEmpty();
}

// The mode bits, without Qt's view of them for the user running the test.
QFileDevice::Permissions ownerGroupOther(const QString &path)
{
    return QFile::permissions(path) & ~(QFile::ReadUser | QFile::WriteUser | QFile::ExeUser);
}

const QString readFailurePrefix = QStringLiteral("Could not read config.json (");
const QString readFailureSuffix = QStringLiteral("). Using defaults; your file was left untouched.");
const QString saveFailurePrefix = QStringLiteral("Could not save config.json: ");

} // namespace

class TestConfigStore : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void defaultConfigFollowsTheDefaultTemplate()
    {
        const VimaConfig config = ConfigStore::makeDefaultConfig();
        QCOMPARE(config.version, 1);
        QCOMPARE(config.slotCount, 8);
        QCOMPARE(config.hotkey.keyCode, 49u);
        QCOMPARE(config.hotkey.modifierFlags, 0x80000u);
        QCOMPARE(ringNames(config.rings).size(), 4);
        QCOMPARE(ringNames(config.rings).first(3), QStringList({"Default", "Write", "Read"}));
        // Then the ring of the desktop's web browser.
        QCOMPARE(config.rings.last().bundleIDMatch, DefaultBrowser::desktopID());
        QCOMPARE(config.ai.defaultTargetLanguage, QStringLiteral("Spanish"));
        QVERIFY(config.savedGroups.isEmpty());
    }

    void missingFileWritesDefaultsAtOnce()
    {
        StoreFixture fixture;
        ConfigStore &store = fixture.open();
        QVERIFY(store.isFirstLaunch());
        QVERIFY(!store.loadFailed());
        QCOMPARE(store.lastError(), std::nullopt);
        QVERIFY(isDefaultConfig(store.config()));

        // Written before any timer runs, pretty-printed, keys sorted, "/" as is.
        QCOMPARE(fixture.scheduler.pendingCount(), 0);
        const QByteArray written = readAll(fixture.file());
        QCOMPARE(ConfigStore::decode(written), store.config());
        QVERIFY(written.contains("\n    \""));
        QVERIFY(written.contains("\"/bin/sh\""));
        QVERIFY(!written.contains("\\/"));
        qsizetype previous = -1;
        for (const char *key : {"\"ai\"", "\"appearance\"", "\"featureFlags\"", "\"hotkey\"",
                                "\"pointerTrigger\"", "\"rings\"", "\"savedGroups\"",
                                "\"selection\"", "\"slotCount\"", "\"version\""}) {
            const qsizetype at = written.indexOf(QByteArray("\n    ") + key);
            QVERIFY2(at > previous, key);
            previous = at;
        }
    }

    void goodFileLoadsAsWritten_data()
    {
        QTest::addColumn<qint64>("version");
        QTest::newRow("version 1") << qint64(1);
        QTest::newRow("version 0") << qint64(0);
        QTest::newRow("negative version") << qint64(-3);
    }
    void goodFileLoadsAsWritten()
    {
        QFETCH(qint64, version);
        VimaConfig config = sampleConfig();
        config.version = version;
        StoreFixture fixture;
        const ConfigStore &store = fixture.open(config);
        QCOMPARE(store.config(), config);
        QVERIFY(!store.isFirstLaunch());
        QVERIFY(!store.loadFailed());
        QCOMPARE(store.lastError(), std::nullopt);
    }

    // A file the other platform wrote (its starter rings, Safari's AppleScript
    // keystrokes, zsh scripts, com.apple ids, the on-device provider, its
    // encoder's layout and 45 for 45.0) loads and lists its rings, and a save
    // writes every value back as it stood.
    void aFileFromTheOtherPlatformKeepsEveryValue()
    {
        const QByteArray bytes = readAll(QStringLiteral(VIMA_TEST_DATA "/other-platform-config.json"));
        QVERIFY(!bytes.isEmpty());
        StoreFixture fixture;
        fixture.writeConfig(bytes);
        ConfigStore &store = fixture.open();
        QVERIFY(!store.loadFailed());
        const VimaConfig &config = store.config();
        QCOMPARE(ringNames(config.globalRings()), QStringList{"Default"});
        QCOMPARE(ringNames(config.subRings()), (QStringList{"Write", "Read"}));
        const QList<Ring> safari = config.ringsForApp(QStringLiteral("com.apple.Safari")).rings;
        QCOMPARE(ringNames(safari), (QStringList{"Safari", "Default"}));
        QCOMPARE(safari.first().items.size(), 6);
        for (const Ring &ring : config.rings)
            for (const RingItem &item : ring.items)
                if (const auto *opens = std::get_if<OpenRingPayload>(&item.action.payload))
                    QVERIFY2(config.ringWithID(opens->ringID), qUtf8Printable(item.title));

        QVERIFY(store.edit([](VimaConfig &changed) { changed.slotCount = 9; }));
        fixture.scheduler.advance(ConfigStore::saveDelay);
        QJsonObject expected = QJsonDocument::fromJson(bytes).object();
        expected.insert(QStringLiteral("slotCount"), 9);
        QCOMPARE(QJsonDocument::fromJson(readAll(fixture.file())).object(), expected);
    }

    void unreadableFilesFallBackAndStayUntouched_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("reason"); // empty: any description
        const QByteArray valid = ConfigStore::encode(sampleConfig());
        QTest::newRow("newer version") << withVersion(2)
            << "This config was written by a newer version of Tavelon (format 2).";
        QTest::newRow("empty") << QByteArray() << QString();
        QTest::newRow("truncated") << valid.left(valid.size() / 2) << QString();
        QTest::newRow("not an object") << QByteArray("[1, 2]") << QString();
        QTest::newRow("missing required keys") << QByteArray(R"({"version":1,"slotCount":8})") << QString();
        QTest::newRow("trailing garbage") << valid + "}" << QString();
    }
    void unreadableFilesFallBackAndStayUntouched()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, reason);
        StoreFixture fixture;
        fixture.writeConfig(bytes);
        {
            ConfigStore &store = fixture.open();
            QVERIFY(!store.isFirstLaunch());
            QVERIFY(store.loadFailed());
            QVERIFY(isDefaultConfig(store.config()));
            const QString banner = store.lastError().value_or(QString());
            QVERIFY2(banner.startsWith(readFailurePrefix) && banner.endsWith(readFailureSuffix),
                     qPrintable(banner));
            if (!reason.isEmpty())
                QCOMPARE(banner, readFailurePrefix + reason + readFailureSuffix);

            // Closing the settings, and quitting, save without a change.
            store.save();
            store.save();
            QCOMPARE(store.lastError(), banner);
        }
        fixture.scheduler.runAll();
        QCOMPARE(readAll(fixture.file()), bytes);
        QVERIFY(fixture.copiesAside().isEmpty());
    }

    void firstChangeKeepsTheUnreadableFileAside_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        const QByteArray valid = ConfigStore::encode(sampleConfig());
        QTest::newRow("newer version") << withVersion(2);
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("truncated") << valid.left(valid.size() / 2);
    }
    void firstChangeKeepsTheUnreadableFileAside()
    {
        QFETCH(QByteArray, bytes);
        StoreFixture fixture;
        fixture.writeConfig(bytes);
        ConfigStore &store = fixture.open();
        VimaConfig changed = store.config();
        changed.slotCount = 12;
        store.setConfig(changed);
        store.scheduleSave();
        QVERIFY(!store.loadFailed());
        QCOMPARE(readAll(fixture.file()), bytes); // not before the debounce

        fixture.scheduler.advance(ConfigStore::saveDelay);
        QCOMPARE(store.lastError(), std::nullopt);
        QCOMPARE(ConfigStore::decode(readAll(fixture.file())), changed);
        const QStringList copies = fixture.copiesAside();
        QCOMPARE(copies.size(), 1);
        static const QRegularExpression name(
            QStringLiteral(R"(^config\.json\.\d{4}-\d\d-\d\dT\d\d-\d\d-\d\d\.bak$)"));
        QVERIFY2(name.match(copies.first()).hasMatch(), qPrintable(copies.first()));
        QCOMPARE(readAll(fixture.folder() + '/' + copies.first()), bytes);

        // Only the first write keeps a copy.
        store.save();
        QCOMPARE(fixture.copiesAside().size(), 1);
    }

    void copiesAsideNeverOverwriteEachOther()
    {
        StoreFixture fixture;
        for (int run = 0; run < 2; ++run) {
            fixture.writeConfig(QByteArray("{") + QByteArray::number(run));
            ConfigStore &store = fixture.open();
            store.scheduleSave();
            fixture.scheduler.runAll();
        }
        QStringList copies = fixture.copiesAside();
        QCOMPARE(copies.size(), 2);
        QStringList contents;
        for (const QString &copy : copies)
            contents.append(QString::fromUtf8(readAll(fixture.folder() + '/' + copy)));
        contents.sort();
        QCOMPARE(contents, QStringList({"{0", "{1"}));
    }

    // An edit made on disk while Tavelon runs, found at the next save: taken
    // when nothing waits to be saved here, else kept aside and told; one that
    // doesn't parse changes nothing, is told, and is kept aside before a
    // change made here replaces it.
    void editsMadeOnDisk_data()
    {
        QTest::addColumn<bool>("changedHere");
        QTest::addColumn<QString>("theirs"); // "edited", "broken" or "same"
        QTest::newRow("taken") << false << "edited";
        QTest::newRow("kept aside") << true << "edited";
        QTest::newRow("broken, left alone") << false << "broken";
        QTest::newRow("broken, kept aside") << true << "broken";
        QTest::newRow("rewritten as it was") << true << "same";
    }
    void editsMadeOnDisk()
    {
        QFETCH(bool, changedHere);
        QFETCH(QString, theirs);
        StoreFixture fixture;
        const VimaConfig ours = sampleConfig();
        ConfigStore &store = fixture.open(ours);
        VimaConfig edited = ours;
        edited.rings.first().name = QStringLiteral("Edited outside");
        const QByteArray bytes = theirs == QLatin1String("edited") ? ConfigStore::encode(edited)
            : theirs == QLatin1String("broken")                    ? QByteArray("{ \"half")
                                                                   : readAll(fixture.file());
        if (changedHere)
            store.edit([](VimaConfig &config) { config.slotCount = 6; });
        QVERIFY(writeAll(fixture.file(), bytes));
        store.save();

        const QString banner = store.lastError().value_or(QString());
        if (!changedHere) {
            QCOMPARE(readAll(fixture.file()), bytes);
            QVERIFY(fixture.copiesAside().isEmpty());
            if (theirs == QLatin1String("edited")) {
                QCOMPARE(store.config(), edited);
                QCOMPARE(store.lastError(), std::nullopt);
                return;
            }
            QCOMPARE(store.config(), ours);
            QVERIFY2(banner.startsWith(readFailurePrefix)
                         && banner.endsWith(QStringLiteral("). Keeping the settings in use; your file was left untouched.")),
                     qPrintable(banner));
            store.edit([](VimaConfig &config) { config.slotCount = 6; });
            fixture.scheduler.runAll();
        }
        QCOMPARE(ConfigStore::decode(readAll(fixture.file())).slotCount, 6);
        QCOMPARE(ConfigStore::decode(readAll(fixture.file())).rings.first().name, QStringLiteral("Main"));
        const QStringList copies = fixture.copiesAside();
        if (theirs == QLatin1String("same")) {
            QVERIFY(copies.isEmpty());
            QCOMPARE(store.lastError(), std::nullopt);
            return;
        }
        QCOMPARE(copies.size(), 1);
        QCOMPARE(readAll(fixture.folder() + '/' + copies.first()), bytes);
        // The save went well: a notice that names the copy, no error. It
        // stays through later saves, until the file is next loaded.
        QCOMPARE(store.lastError(), std::nullopt);
        const QString notice = store.notice().value_or(QString());
        QVERIFY2(notice.contains(copies.first()), qPrintable(notice));
        store.edit([](VimaConfig &config) { config.slotCount = 7; });
        fixture.scheduler.runAll();
        QCOMPARE(store.notice(), notice);
        QVERIFY(writeAll(fixture.file(), ConfigStore::encode(edited)));
        store.save();
        QCOMPARE(store.config(), edited);
        QCOMPARE(store.notice(), std::nullopt);
    }

    // Watched, an edit is taken once the file is quiet: also when an editor
    // saves by renaming a new file over it, and after the whole folder was
    // renamed away and made anew. The watches follow, so the next edit is too.
    void watchedEditsAreTaken_data()
    {
        QTest::addColumn<QStringList>("steps");
        QTest::newRow("in place") << QStringList{"in place", "in place"};
        QTest::newRow("renamed over") << QStringList{"renamed over", "renamed over"};
        QTest::newRow("in a folder made anew") << QStringList{"new folder", "in place", "in place"};
    }
    void watchedEditsAreTaken()
    {
        QFETCH(QStringList, steps);
        StoreFixture fixture;
        ConfigStore &store = fixture.open(sampleConfig());
        store.watchForOutsideEdits();
        for (const QString &step : steps) {
            if (step == QLatin1String("new folder")) {
                QVERIFY(QDir().rename(fixture.folder(), fixture.folder() + QStringLiteral(".old")));
                QVERIFY(QDir().mkpath(fixture.folder()));
                QTest::qWait(20); // seen before a file comes
                fixture.scheduler.runAll();
                continue;
            }
            VimaConfig edited = store.config();
            edited.slotCount = edited.slotCount == 12 ? 4 : 12;
            const bool byRename = step == QLatin1String("renamed over");
            const QString written = byRename ? fixture.root.filePath(QStringLiteral("new.json")) : fixture.file();
            QVERIFY(writeAll(written, ConfigStore::encode(edited)));
            QVERIFY(!byRename || ::rename(qPrintable(written), qPrintable(fixture.file())) == 0);
            QTRY_VERIFY((fixture.scheduler.runAll(), store.config() == edited));
        }
    }

    void ownWritesDoNotCountAsHandEdits()
    {
        StoreFixture fixture;
        ConfigStore &store = fixture.open(sampleConfig());
        VimaConfig changed = store.config();
        changed.slotCount = 5;
        store.setConfig(changed);
        store.save();
        changed.slotCount = 6;
        store.setConfig(changed);
        store.save();
        QCOMPARE(ConfigStore::decode(readAll(fixture.file())).slotCount, 6);
        // Saving again with nothing changed rewrites the same bytes.
        store.save();
        QCOMPARE(ConfigStore::decode(readAll(fixture.file())).slotCount, 6);
    }

    void aFileThatCannotBeKeptIsNotWrittenOver()
    {
        // A folder named config.json can be neither read nor copied.
        StoreFixture fixture;
        QVERIFY(QDir().mkpath(fixture.file()));
        ConfigStore &store = fixture.open();
        QVERIFY(store.loadFailed());
        store.scheduleSave();
        fixture.scheduler.runAll();
        QVERIFY(store.lastError().value_or(QString()).startsWith(saveFailurePrefix));
        QVERIFY(QFileInfo(fixture.file()).isDir());
    }

    // Pasted twice by hand: a slot, a pack ring and a saved pack keep their
    // ids in the file, while each later copy reads with one of its own, the
    // same on every read; links still open the first ring. An edit of a copy
    // changes that copy alone.
    void repeatedIDsReadAsTheirOwn()
    {
        VimaConfig config = sampleConfig();
        Ring &main = config.rings[0];
        main.items.append(main.items.first());
        config.rings.append(config.rings.at(1));
        config.rings.last().name = QStringLiteral("More again");
        config.savedGroups = {{QUuid::createUuid(), QStringLiteral("Saved"), {}, {}, {}}};
        config.savedGroups.append(config.savedGroups.first());
        const QByteArray bytes = ConfigStore::encode(config);
        StoreFixture fixture;
        ConfigStore &store = fixture.open(config);
        const VimaConfig &read = store.config();
        const auto differ = [](const QUuid &first, const QUuid &copy) { return !first.isNull() && first != copy; };
        QCOMPARE(read.rings.at(0).items.at(0).id, config.rings.at(0).items.at(0).id);
        QVERIFY(differ(read.rings.at(0).items.at(0).id, read.rings.at(0).items.at(2).id));
        QVERIFY(differ(read.rings.at(1).id, read.rings.at(2).id));
        QVERIFY(differ(read.savedGroups.at(0).id, read.savedGroups.at(1).id));
        QCOMPARE(read.ringWithID(*openedRingID(read.rings.at(0).items.at(1)))->name, QStringLiteral("More"));
        QCOMPARE(ConfigStore::decode(bytes), read);
        store.save();
        QCOMPARE(readAll(fixture.file()), bytes);

        const QUuid copy = read.rings.at(0).items.at(2).id;
        store.edit([&](VimaConfig &edited) { edited.rings[0].items[2].title = QStringLiteral("Changed"); });
        store.save();
        const VimaConfig written = ConfigStore::decode(readAll(fixture.file()));
        QCOMPARE(written.rings.at(0).items.at(0), config.rings.at(0).items.at(0));
        QCOMPARE(written.rings.at(0).items.at(2).id, copy);
        QCOMPARE(written.rings.at(0).items.at(2).title, QStringLiteral("Changed"));
    }

    // A start and a quit change nothing in a file that nothing changed: not
    // its layout, not keys Tavelon doesn't know, and no hotkey is migrated.
    void untouchedFilesSurviveStartAndQuit_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<HotkeySpec>("hotkey");
        VimaConfig controlOption = sampleConfig();
        controlOption.hotkey = {49, HotkeySpec::control | HotkeySpec::option};
        QJsonObject handEdited = sampleConfig().toJson();
        handEdited.insert(QStringLiteral("comment"), QStringLiteral("mine"));
        handEdited.insert(QStringLiteral("slotCuont"), 12);
        const QByteArray compact = QJsonDocument(handEdited).toJson(QJsonDocument::Compact);
        QTest::newRow("control-option-space") << ConfigStore::encode(controlOption) << controlOption.hotkey;
        QTest::newRow("unknown key and typo, compact") << compact << HotkeySpec{};
        QTest::newRow("byte-order mark") << QByteArray("\xEF\xBB\xBF") + compact << HotkeySpec{};
    }
    void untouchedFilesSurviveStartAndQuit()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(HotkeySpec, hotkey);
        StoreFixture fixture;
        fixture.writeConfig(bytes);
        ConfigStore &store = fixture.open();
        QVERIFY(!store.loadFailed());
        QCOMPARE(store.config().hotkey, hotkey);
        store.save(); // closing the settings
        store.save(); // quitting
        fixture.store.reset();
        fixture.scheduler.runAll();
        QCOMPARE(readAll(fixture.file()), bytes);
    }

    void readOnlyFileStaysReadOnlyAndIsReportedOnce()
    {
        StoreFixture fixture;
        fixture.writeConfig(sampleConfig());
        const QByteArray before = readAll(fixture.file());
        const auto readOnly = QFile::ReadOwner | QFile::ReadGroup;
        QVERIFY(QFile::setPermissions(fixture.file(), readOnly));
        ConfigStore &store = fixture.open();
        store.save(); // a quit with nothing changed tries nothing
        QCOMPARE(store.lastError(), std::nullopt);

        int reports = 0;
        static int *counter = nullptr;
        counter = &reports;
        const QtMessageHandler previous = qInstallMessageHandler([](QtMsgType type, const QMessageLogContext &,
                                                                   const QString &) {
            if (type == QtCriticalMsg)
                ++*counter;
        });
        VimaConfig changed = store.config();
        changed.slotCount = 5;
        store.setConfig(changed);
        store.save();
        store.save();
        qInstallMessageHandler(previous);
        QCOMPARE(reports, 1);
        QVERIFY(store.lastError().value_or(QString()).startsWith(saveFailurePrefix));
        QCOMPARE(readAll(fixture.file()), before);
        QCOMPARE(ownerGroupOther(fixture.file()), readOnly);
    }

    // The file may hold the password of an Ollama address.
    void aSaveKeepsTheFilePermissions_data()
    {
        QTest::addColumn<std::optional<QFile::Permissions>>("before"); // none: no file
        QTest::addColumn<QFile::Permissions>("after");
        const QFile::Permissions ownerOnly = QFile::ReadOwner | QFile::WriteOwner;
        QTest::newRow("made anew: the owner's alone") << std::optional<QFile::Permissions>() << ownerOnly;
        QTest::newRow("the owner's alone") << std::optional(ownerOnly) << ownerOnly;
        QTest::newRow("readable by all") << std::optional(ownerOnly | QFile::ReadGroup | QFile::ReadOther)
                                         << (ownerOnly | QFile::ReadGroup | QFile::ReadOther);
    }

    void aSaveKeepsTheFilePermissions()
    {
        QFETCH(std::optional<QFile::Permissions>, before);
        StoreFixture fixture;
        if (before) {
            fixture.writeConfig(sampleConfig());
            QVERIFY(QFile::setPermissions(fixture.file(), *before));
        }
        ConfigStore &store = fixture.open();
        VimaConfig changed = store.config();
        changed.slotCount = 5;
        store.setConfig(changed);
        store.save();
        QCOMPARE(ConfigStore::decode(readAll(fixture.file())), changed);
        QTEST(ownerGroupOther(fixture.file()), "after");
    }

    void burstOfRequestsWritesOnceAfterTheLast()
    {
        StoreFixture fixture;
        ConfigStore &store = fixture.open(sampleConfig());
        VimaConfig config = store.config();
        for (int request = 0; request < 3; ++request) {
            config.slotCount = 10 + request;
            store.setConfig(config);
            store.scheduleSave();
            fixture.scheduler.advance(0.1);
        }
        QCOMPARE(fixture.scheduler.pendingCount(), 1);
        fixture.scheduler.advance(0.299);
        QCOMPARE(ConfigStore::decode(readAll(fixture.file())).slotCount, 8);
        fixture.scheduler.advance(0.002);
        QCOMPARE(ConfigStore::decode(readAll(fixture.file())), config);
        // Nothing else is left to write.
        QVERIFY(writeAll(fixture.file(), "marker"));
        fixture.scheduler.advance(10);
        QCOMPARE(readAll(fixture.file()), QByteArray("marker"));
    }

    void aReleasedStoreIsNeverSaved()
    {
        StoreFixture fixture;
        ConfigStore &store = fixture.open(sampleConfig());
        VimaConfig config = store.config();
        config.slotCount = 3;
        store.setConfig(config);
        store.scheduleSave();
        const QByteArray before = readAll(fixture.file());
        fixture.store.reset();
        fixture.scheduler.runAll();
        QCOMPARE(readAll(fixture.file()), before);
    }

    void publishingNotifiesOnlyOnChange()
    {
        StoreFixture fixture;
        ConfigStore &store = fixture.open(sampleConfig());
        QSignalSpy changed(&store, &ConfigStore::configChanged);
        store.setConfig(store.config());
        QCOMPARE(changed.size(), 0);
        VimaConfig config = store.config();
        config.appearance.sizeScale = 1.5;
        store.setConfig(config);
        QCOMPARE(changed.size(), 1);
        QCOMPARE(fixture.scheduler.pendingCount(), 0); // publishing does not save
    }

    void editPublishesAndSavesOnlyRealChanges()
    {
        StoreFixture fixture;
        fixture.writeConfig(QByteArray("not json"));
        ConfigStore &store = fixture.open();
        QSignalSpy changed(&store, &ConfigStore::configChanged);
        const quint64 flags = store.config().hotkey.modifierFlags;
        // An edit that changes nothing keeps the guard over the unreadable file.
        QVERIFY(!store.edit([flags](VimaConfig &config) { config.hotkey.modifierFlags = flags; }));
        QCOMPARE(changed.size(), 0);
        QVERIFY(store.loadFailed());
        QCOMPARE(fixture.scheduler.pendingCount(), 0);

        QVERIFY(store.edit([](VimaConfig &config) { config.slotCount = 6; }));
        QCOMPARE(changed.size(), 1);
        QCOMPARE(store.config().slotCount, 6);
        fixture.scheduler.advance(ConfigStore::saveDelay);
        QCOMPARE(ConfigStore::decode(readAll(fixture.file())).slotCount, 6);
    }

    void watchAppliesAtOnceThenOnlyItsOwnChanges()
    {
        StoreFixture fixture;
        ConfigStore &store = fixture.open(sampleConfig());
        QList<qint64> applied;
        auto context = std::make_unique<QObject>();
        store.watch(context.get(), &VimaConfig::slotCount, [&applied](qint64 count) { applied << count; });
        QCOMPARE(applied, QList<qint64>{8});
        store.edit([](VimaConfig &config) { config.appearance.sizeScale = 1.3; });
        store.edit([](VimaConfig &config) { config.slotCount = 12; });
        store.edit([](VimaConfig &config) { config.slotCount = 12; config.ai.maxTokens = 9; });
        QCOMPARE(applied, (QList<qint64>{8, 12}));
        context.reset();
        store.edit([](VimaConfig &config) { config.slotCount = 4; });
        QCOMPARE(applied, (QList<qint64>{8, 12}));
    }

    void folderThatCannotBeCreated()
    {
        // Tests run as root: a regular file where the folder's parent should be.
        StoreFixture fixture;
        const QString blocker = fixture.root.filePath(QStringLiteral("blocker"));
        QVERIFY(writeAll(blocker, "not a folder"));
        ConfigStore store(blocker + QStringLiteral("/Vima"), fixture.scheduler);
        QVERIFY(store.isFirstLaunch());
        QVERIFY(isDefaultConfig(store.config()));
        QVERIFY(store.lastError().value_or(QString()).startsWith(saveFailurePrefix));

        VimaConfig changed = store.config();
        changed.slotCount = 5;
        store.setConfig(changed);
        store.save();
        QVERIFY(store.lastError().value_or(QString()).startsWith(saveFailurePrefix));
        QCOMPARE(store.config(), changed);

        // The next save that works clears the banner.
        QVERIFY(QFile::remove(blocker));
        store.save();
        QCOMPARE(store.lastError(), std::nullopt);
        QCOMPARE(ConfigStore::decode(readAll(store.filePath())), changed);
    }

    void exportWritesWhatSaveWrites()
    {
        StoreFixture fixture;
        ConfigStore &store = fixture.open(sampleConfig());
        const QString destination = fixture.root.filePath(QStringLiteral("vima-config.json"));
        store.exportConfig(destination);
        QCOMPARE(readAll(destination), readAll(fixture.file()));

        const QString nowhere = fixture.root.filePath(QStringLiteral("missing/vima-config.json"));
        QVERIFY_THROWS_EXCEPTION(FileError, store.exportConfig(nowhere));
        QCOMPARE(store.lastError(), std::nullopt);
        QVERIFY(!QFileInfo::exists(nowhere));
    }

    void revealGoesThroughTheDesktopOpener()
    {
        StoreFixture fixture;
        ConfigStore &store = fixture.open();
        store.revealInFinder(); // none given: nothing happens
        FakeDesktopOpener opener;
        store.setDesktopOpener(&opener);
        store.revealInFinder();
        QCOMPARE(opener.revealed, QStringList{fixture.file()});
    }

    void decodeRefusesNewerFormats()
    {
        try {
            ConfigStore::decode(withVersion(7));
            QFAIL("a newer format was accepted");
        } catch (const ConfigError &error) {
            QCOMPARE(error.version(), 7);
        }
    }

    void folderIsTheXdgConfigHome_data()
    {
        QTest::addColumn<bool>("xdgConfigHomeSet");
        QTest::newRow("XDG_CONFIG_HOME") << true;
        QTest::newRow("only HOME") << false;
    }
    void folderIsTheXdgConfigHome()
    {
        QFETCH(bool, xdgConfigHomeSet);
        QTemporaryDir home;
        const QByteArray savedHome = qgetenv("HOME");
        const QByteArray savedConfig = qgetenv("XDG_CONFIG_HOME");
        qputenv("HOME", home.path().toUtf8());
        if (xdgConfigHomeSet)
            qputenv("XDG_CONFIG_HOME", home.filePath(QStringLiteral("conf")).toUtf8());
        else
            qunsetenv("XDG_CONFIG_HOME");
        const QString folder = ConfigStore::directoryURL();
        qputenv("HOME", savedHome);
        if (savedConfig.isNull())
            qunsetenv("XDG_CONFIG_HOME");
        else
            qputenv("XDG_CONFIG_HOME", savedConfig);
        QCOMPARE(folder, home.filePath(xdgConfigHomeSet ? QStringLiteral("conf/Vima")
                                                        : QStringLiteral(".config/Vima")));
    }
};

QTEST_GUILESS_MAIN(TestConfigStore)
#include "tst_configstore.moc"
