#include "../support/Await.h"
#include "async/Cancelled.h"
#include "async/CancellationToken.h"
#include "async/ChildProcess.h"
#include "async/FakeScheduler.h"
#include "async/ProcessWait.h"
#include "async/Sleep.h"

#include <QFile>
#include <QFileInfo>
#include <QTest>
#include <QCoroTask>
#include <csignal>
#include <optional>

using namespace vima;

namespace {

enum class Ending { running, finished, cancelled };

// Starts `work` and records how it ended, without an event loop.
template<typename Work>
QCoro::Task<void> track(Ending &ending, Work work)
{
    try {
        co_await work();
        ending = Ending::finished;
    } catch (const Cancelled &) {
        ending = Ending::cancelled;
    }
}

// Work on a fake clock with its own token, and how it ended.
struct FakeRun {
    FakeScheduler scheduler;
    CancellationToken token;
    Ending ending = Ending::running;
    std::optional<QCoro::Task<void>> task;

    template<typename Work>
    void start(Work work) { task.emplace(track(ending, std::move(work))); }
    void startSleep(double seconds)
    {
        start([this, seconds] { return sleep(seconds, token, scheduler); });
    }
};

bool exists(pid_t pid) { return QFileInfo::exists(QStringLiteral("/proc/%1").arg(pid)); }

// The value of a "Name:\tvalue" line of /proc/PID/status.
QByteArray statusLine(pid_t pid, const QByteArray &name)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return {};
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(name + ':'))
            return line.mid(name.size() + 1).trimmed();
    }
    return {};
}

} // namespace

Q_DECLARE_METATYPE(std::optional<int>)

class TestAsync : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void tokenCallbacksRunOnceAndCanBeRemoved()
    {
        CancellationToken token;
        int first = 0, second = 0;
        token.onCancel([&] { ++first; });
        const auto removed = token.onCancel([&] { ++second; });
        token.removeCallback(removed);
        token.cancel();
        token.cancel();
        QCOMPARE(first, 1);
        QCOMPARE(second, 0);
        QVERIFY(token.isCancelled());
        QVERIFY_THROWS_EXCEPTION(Cancelled, token.throwIfCancelled());

        int late = 0;
        token.onCancel([&] { ++late; });
        QCOMPARE(late, 1); // registering after the fact runs at once
    }

    void copiesShareOneState()
    {
        CancellationToken token;
        const CancellationToken copy = token;
        token.cancel();
        QVERIFY(copy.isCancelled());
    }

    void sleepEndsAfterItsTime()
    {
        FakeRun run;
        run.startSleep(0.5);
        run.scheduler.advance(0.49);
        QCOMPARE(run.ending, Ending::running);
        run.scheduler.advance(0.01);
        QCOMPARE(run.ending, Ending::finished);
        QCOMPARE(run.scheduler.now(), 0.5);
    }

    void cancelledSleepEndsEarlyWithCancellation()
    {
        FakeRun run;
        run.startSleep(10);
        run.scheduler.advance(1);
        run.token.cancel();
        QCOMPARE(run.ending, Ending::cancelled);
        QCOMPARE(run.scheduler.pendingCount(), 0); // its timer is gone too
    }

    void sleepOnCancelledTokenThrowsAtOnce()
    {
        FakeRun run;
        run.token.cancel();
        run.startSleep(1);
        QCOMPARE(run.ending, Ending::cancelled);
        QCOMPARE(run.scheduler.pendingCount(), 0);
    }

    void settleIsNotInterrupted()
    {
        FakeRun run;
        run.start([&run]() -> QCoro::Task<void> {
            co_await settle(0.35, run.scheduler);
            run.token.throwIfCancelled();
        });
        run.token.cancel();
        QCOMPARE(run.ending, Ending::running);
        run.scheduler.advance(0.35);
        QCOMPARE(run.ending, Ending::cancelled); // the next cancellation point sees it
    }

    void fakeSchedulerRunsInDueOrder_data()
    {
        QTest::addColumn<QList<double>>("delays");
        QTest::addColumn<QList<int>>("expected");
        QTest::newRow("reversed") << QList<double>{3, 2, 1} << QList<int>{2, 1, 0};
        QTest::newRow("ties keep scheduling order") << QList<double>{1, 1, 0} << QList<int>{2, 0, 1};
        QTest::newRow("negative and NaN run first") << QList<double>{1, -5, qQNaN()} << QList<int>{1, 2, 0};
    }

    void fakeSchedulerRunsInDueOrder()
    {
        QFETCH(QList<double>, delays);
        QFETCH(QList<int>, expected);
        FakeScheduler scheduler;
        QList<int> order;
        for (int i = 0; i < delays.size(); ++i)
            scheduler.schedule(delays[i], [&order, i] { order.append(i); });
        scheduler.runAll();
        QCOMPARE(order, expected);
    }

    void cancelledTimerNeverRuns()
    {
        FakeScheduler scheduler;
        bool ran = false;
        const auto id = scheduler.schedule(1, [&] { ran = true; });
        scheduler.cancel(id);
        scheduler.advance(5);
        QVERIFY(!ran);
    }

    void timersScheduledWhileAdvancingRunWhenDue()
    {
        FakeScheduler scheduler;
        QList<double> times;
        scheduler.schedule(1, [&] {
            times.append(scheduler.now());
            scheduler.schedule(1, [&] { times.append(scheduler.now()); });
        });
        scheduler.advance(1.5);
        QCOMPARE(times, QList<double>{1.0});
        scheduler.advance(0.5);
        QCOMPARE(times, (QList<double>{1.0, 2.0}));
    }

    // How a started program ended is told, and it is reaped either way,
    // from the event loop: no zombie stays.
    void spawnedProgramsAreReaped_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<double>("wait"); // NaN: nobody waits
        QTest::addColumn<std::optional<int>>("told");
        QTest::newRow("exit status") << "exit 3" << -1.0 << std::optional<int>(3);
        QTest::newRow("killed") << "kill -KILL $$" << -1.0 << std::optional<int>(-1);
        QTest::newRow("still running when the wait ends") << "sleep 0.3" << 0.05 << std::optional<int>();
        QTest::newRow("nobody waits") << "sleep 0.1" << qQNaN() << std::optional<int>();
    }

    void spawnedProgramsAreReaped()
    {
        QFETCH(QString, script);
        QFETCH(double, wait);
        QFETCH(std::optional<int>, told);
        const auto pid = ChildProcess::spawn({QStringLiteral("sh"), QStringLiteral("-c"), script}, {}, {});
        QVERIFY(pid);
        if (qIsNaN(wait))
            reapWhenExited(*pid);
        else
            QCOMPARE(test::await(childExited(*pid, wait)), told);
        QTRY_VERIFY(!exists(*pid));
    }

    // Nothing of how we run passes on: signals we ignore or block, our
    // session (a Ctrl+C in our terminal), our input.
    void spawnedProgramsStartClean()
    {
        sigset_t blocked, before;
        sigemptyset(&blocked);
        sigaddset(&blocked, SIGUSR1);
        QCOMPARE(pthread_sigmask(SIG_BLOCK, &blocked, &before), 0);
        const auto ignored = std::signal(SIGHUP, SIG_IGN);
        const auto pid = ChildProcess::spawn({QStringLiteral("sleep"), QStringLiteral("10")}, QStringLiteral("/"), {});
        pthread_sigmask(SIG_SETMASK, &before, nullptr);
        std::signal(SIGHUP, ignored);
        QVERIFY(pid);
        const QString process = QStringLiteral("/proc/%1/").arg(*pid);
        QTRY_COMPARE(QFileInfo(process + QStringLiteral("exe")).symLinkTarget(), QStringLiteral("/usr/bin/sleep"));
        QCOMPARE(statusLine(*pid, "SigBlk"), QByteArray("0000000000000000"));
        // glibc ignores its own two signals from 32 on there until the
        // program starts; 1 to 31 are at their default.
        QCOMPARE(statusLine(*pid, "SigIgn").toULongLong(nullptr, 16) & 0x7fffffffU, 0U);
        QCOMPARE(::getsid(*pid), *pid);
        QCOMPARE(QFileInfo(process + QStringLiteral("fd/0")).symLinkTarget(), QStringLiteral("/dev/null"));
        QCOMPARE(QFileInfo(process + QStringLiteral("cwd")).symLinkTarget(), QStringLiteral("/"));
        ::kill(*pid, SIGKILL);
        QCOMPARE(test::await(childExited(*pid)), std::optional<int>(-1));
        QVERIFY(!ChildProcess::spawn({QStringLiteral("/no/such/program")}, {}, {}));
    }

    void qtSchedulerFiresOnTheEventLoop()
    {
        CancellationToken token;
        Ending ending = Ending::running;
        auto task = track(ending, [&] { return sleep(0.01, token); });
        QTRY_COMPARE(ending, Ending::finished);
    }
};

QTEST_GUILESS_MAIN(TestAsync)
#include "tst_async.moc"
