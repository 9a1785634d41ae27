#include "app/InstanceLock.h"
#include "app/UnixSignalWatcher.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <csignal>
#include <cstdio>

using namespace vima;

namespace {

const char busyAgent[] = "VIMA_TEST_BUSY_AGENT";

// Quits as the agent does on a signal, but its GUI thread never gets back to
// the event loop, as when it is stuck on a huge file.
int runBusyAgent(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    UnixSignalWatcher watcher(1);
    QObject::connect(&watcher, &UnixSignalWatcher::quitRequested, &app, &QCoreApplication::quit);
    std::puts("busy");
    std::fflush(stdout);
    for (;;)
        QThread::msleep(10);
}

} // namespace

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

    // A logout or a second start still ends it, as the signal would have.
    void busyAgentEndsOnSignal_data()
    {
        QTest::addColumn<int>("signal");
        QTest::newRow("TERM") << SIGTERM;
        QTest::newRow("INT") << SIGINT;
        QTest::newRow("HUP") << SIGHUP;
    }

    void busyAgentEndsOnSignal()
    {
        QFETCH(int, signal);
        QProcess agent; // killed when it goes, if it still runs
        agent.setEnvironment(QProcess::systemEnvironment() << QString::fromLatin1(busyAgent) + "=1");
        agent.start(QCoreApplication::applicationFilePath(), {});
        QVERIFY(agent.waitForReadyRead(20000));
        QCOMPARE(agent.readLine().trimmed(), QByteArray("busy"));
        ::kill(pid_t(agent.processId()), signal);
        QVERIFY(agent.waitForFinished(20000)); // a hang guard, not a timing
        QCOMPARE(agent.exitStatus(), QProcess::CrashExit);
        QCOMPARE(agent.exitCode(), signal);
    }
};

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsSet(busyAgent))
        return runBusyAgent(argc, argv);
    QCoreApplication app(argc, argv);
    TestInstanceLock test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}
#include "tst_instancelock.moc"
