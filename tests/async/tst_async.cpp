#include "async/Cancelled.h"
#include "async/CancellationToken.h"
#include "async/FakeScheduler.h"
#include "async/Sleep.h"

#include <QTest>
#include <QCoroTask>
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

} // namespace

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
