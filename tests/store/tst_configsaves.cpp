#include "StoreTestSupport.h"

#include <QRegularExpression>
#include <QTest>
#include <cerrno>
#include <cstring>
#include <dlfcn.h>
#include <unistd.h>

using namespace vima;
using namespace vima::test;

// The system calls a save makes, made to fail on demand. Defined here, they
// take the place of the C library's for the whole test program.
namespace {

QByteArray failingCall;
int failingError = 0;
int callsBeforeFailing = 0;

bool fails(const char *call)
{
    if (failingCall != call || callsBeforeFailing-- > 0)
        return false;
    errno = failingError;
    return true;
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

namespace {

// Fails `call` with `error` for as long as it lives, after `spared` calls that go well.
struct Failing {
    Failing(const QByteArray &call, int error, int spared = 0)
    {
        failingCall = call;
        failingError = error;
        callsBeforeFailing = spared;
    }
    ~Failing() { failingCall.clear(); }
};

QString systemText(int error) { return QString::fromLocal8Bit(std::strerror(error)); }

// Hidden ones too: a save's temporary file is.
QStringList entries(const StoreFixture &fixture)
{
    return QDir(fixture.folder()).entryList(QDir::Files | QDir::Hidden);
}

} // namespace

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
        QTest::newRow("rename") << QByteArray("rename") << EROFS;
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

    // An outside version kept aside by a save that then failed is told once
    // a save goes through; the error goes, the notice stays.
    void keptVersionIsToldOnceSaved()
    {
        StoreFixture fixture;
        ConfigStore &store = fixture.open(sampleConfig());
        store.edit([](VimaConfig &config) { config.slotCount = 6; });
        QVERIFY(writeAll(fixture.file(), ConfigStore::encode(VimaConfig{})));
        {
            const Failing failing("rename", EROFS, 1); // the copy goes aside, the save fails
            fixture.scheduler.runAll();
        }
        const QStringList copies = fixture.copiesAside();
        QCOMPARE(copies.size(), 1);
        QVERIFY(store.lastError());
        QCOMPARE(store.notice(), std::nullopt);

        store.save();
        QCOMPARE(store.lastError(), std::nullopt);
        QVERIFY(store.notice().value_or(QString()).contains(copies.first()));
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
