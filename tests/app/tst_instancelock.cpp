#include "app/InstanceLock.h"

#include <QCoreApplication>
#include <QFile>
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
};

QTEST_GUILESS_MAIN(TestInstanceLock)
#include "tst_instancelock.moc"
