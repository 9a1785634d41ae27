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
#include <unistd.h>

using namespace vima;

namespace {

const char busyAgent[] = "VIMA_TEST_BUSY_AGENT";
// Set to a pid: exits 0 when that process runs this program.
const char sameAs[] = "VIMA_TEST_SAME_AS";

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

    // The process runs this very file, under whatever name; a program called
    // as this one is not this program.
    void sameProgramGoesByFile_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<bool>("same");
        QTest::newRow("ours, under another name") << "link to ours" << true;
        QTest::newRow("ours, its file replaced since (an upgrade)") << "replaced" << true;
        QTest::newRow("another user's, its file replaced since") << "another user's, replaced" << false;
        QTest::newRow("a live file named as ours once replaced") << "named as replaced" << false;
        QTest::newRow("another, under our name") << "our name" << false;
        QTest::newRow("another") << "another name" << false;
        QTest::newRow("a process that is gone") << "gone" << false;
    }

    void sameProgramGoesByFile()
    {
        QFETCH(QString, how);
        if (how == QLatin1String("gone")) {
            QTEST(isSameProgram(0), "same");
            return;
        }
        const bool otherUser = how.startsWith(QLatin1String("another user's"));
        if (otherUser && ::getuid() != 0)
            QSKIP("Only root starts a process as another user");
        QTemporaryDir dir;
        const QString ownPath = QCoreApplication::applicationFilePath();
        const QString name = how == QLatin1String("another name") ? QStringLiteral("something-else")
                                                                   : QFileInfo(ownPath).fileName();
        const QString copy = dir.filePath(how == QLatin1String("link to ours") ? QStringLiteral("launcher") : name);
        const bool replaced = how.endsWith(QLatin1String("replaced"));
        // What the older process runs.
        const QString started = how == QLatin1String("named as replaced") ? copy + QStringLiteral(" (deleted)") : copy;
        QVERIFY(how == QLatin1String("link to ours")
                    ? QFile::link(ownPath, copy)
                    : QFile::copy(how == QLatin1String("replaced") ? ownPath : "/bin/sleep", started));
        QProcess process;
        process.setEnvironment(QProcess::systemEnvironment() << QString::fromLatin1(busyAgent) + "=1");
        if (otherUser) {
            QVERIFY(QFile::setPermissions(dir.path(), QFile::permissions(dir.path()) | QFile::ExeOther));
            process.start(QStringLiteral("setpriv"), {"--reuid=65534", "--regid=65534", "--clear-groups", started,
                                                      QStringLiteral("30")});
        } else {
            process.start(started, {QStringLiteral("30")});
        }
        QVERIFY(process.waitForStarted());
        // Replaced before setpriv has become the program, it would find no file.
        const QString exe = QStringLiteral("/proc/%1/exe").arg(process.processId());
        QTRY_VERIFY(!otherUser || QFileInfo(exe).symLinkTarget() == started);
        if (replaced) { // the new file asks, as a copy started after the upgrade does
            QVERIFY(started != copy || QFile::remove(copy));
            QVERIFY(QFile::copy(ownPath, copy));
            qputenv(sameAs, QByteArray::number(process.processId()));
            const int answer = QProcess::execute(copy, {});
            qunsetenv(sameAs);
            QTEST(answer == 0, "same");
        } else {
            QTEST(isSameProgram(process.processId()), "same");
        }
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
    if (qEnvironmentVariableIsSet(sameAs))
        return isSameProgram(qEnvironmentVariableIntValue(sameAs)) ? 0 : 1;
    QCoreApplication app(argc, argv);
    TestInstanceLock test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}
#include "tst_instancelock.moc"
