#include "app/InstanceLock.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace vima;

class TestInstanceLock : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void ownProcessIsTheSameProgram() { QVERIFY(isSameProgram(QCoreApplication::applicationPid())); }

    // A rebuild or an upgrade replaces the file under a running copy, which
    // must still be recognised and ended.
    void executableReplacedOnDiskKeepsItsPath()
    {
        QTemporaryDir dir;
        const QString copy = dir.filePath(QStringLiteral("agent"));
        QVERIFY(QFile::copy(QStringLiteral("/bin/sleep"), copy));
        QProcess process;
        process.start(copy, {QStringLiteral("30")});
        QVERIFY(process.waitForStarted());
        QCOMPARE(executableOf(process.processId()), copy);
        QVERIFY(QFile::remove(copy));
        QVERIFY(QFile::copy(QStringLiteral("/bin/sleep"), copy));
        QCOMPARE(executableOf(process.processId()), copy);
        process.kill();
        process.waitForFinished();
    }

    void goneProcessHasNoExecutable() { QVERIFY(executableOf(0).isEmpty()); }

    // An installed copy and a build tree's copy are one program; anything else is not.
    void sameProgramGoesByName_data()
    {
        QTest::addColumn<bool>("ownName");
        QTest::newRow("our name elsewhere") << true;
        QTest::newRow("another name") << false;
    }

    void sameProgramGoesByName()
    {
        QFETCH(bool, ownName);
        QTemporaryDir dir;
        const QString name = ownName ? QFileInfo(QCoreApplication::applicationFilePath()).fileName()
                                     : QStringLiteral("something-else");
        const QString copy = dir.filePath(name);
        QVERIFY(QFile::copy(QStringLiteral("/bin/sleep"), copy));
        QProcess process;
        process.start(copy, {QStringLiteral("30")});
        QVERIFY(process.waitForStarted());
        QCOMPARE(isSameProgram(process.processId()), ownName);
        process.kill();
        process.waitForFinished();
    }

    void lockNameIgnoresTheScreenNumber()
    {
        qputenv("DISPLAY", ":7.0");
        const QString withScreen = InstanceLock::defaultLockPath();
        qputenv("DISPLAY", ":7");
        QCOMPARE(InstanceLock::defaultLockPath(), withScreen);
        qputenv("DISPLAY", ":8");
        QVERIFY(InstanceLock::defaultLockPath() != withScreen);
    }
};

QTEST_GUILESS_MAIN(TestInstanceLock)
#include "tst_instancelock.moc"
