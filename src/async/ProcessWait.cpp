#include "async/ProcessWait.h"

#include <QCoreApplication>
#include <QTimer>
#include <coroutine>
#include <memory>

namespace vima {
namespace {

// Resumes the waiting coroutine once, from the event loop, at the first of
// the events it was hooked to.
class OneShotResume {
public:
    void hook(QMetaObject::Connection connection) { connections_.append(connection); }

    void operator()(std::coroutine_handle<> handle)
    {
        if (fired_)
            return;
        fired_ = true;
        for (const auto &connection : connections_)
            QObject::disconnect(connection);
        QMetaObject::invokeMethod(QCoreApplication::instance(), [handle] { handle.resume(); }, Qt::QueuedConnection);
    }

private:
    bool fired_ = false;
    QList<QMetaObject::Connection> connections_;
};

class StartAwaiter {
public:
    explicit StartAwaiter(QProcess &process) : process_(process) {}

    bool await_ready() const { return process_.state() != QProcess::Starting; }
    void await_suspend(std::coroutine_handle<> handle)
    {
        auto resume = std::make_shared<OneShotResume>();
        resume->hook(QObject::connect(&process_, &QProcess::started, [resume, handle] { (*resume)(handle); }));
        resume->hook(QObject::connect(&process_, &QProcess::errorOccurred, [resume, handle] { (*resume)(handle); }));
    }
    bool await_resume() const { return process_.error() != QProcess::FailedToStart; }

private:
    QProcess &process_;
};

class FinishAwaiter {
public:
    FinishAwaiter(QProcess &process, double seconds) : process_(process), seconds_(seconds) {}

    bool await_ready() const { return process_.state() == QProcess::NotRunning; }
    void await_suspend(std::coroutine_handle<> handle)
    {
        auto resume = std::make_shared<OneShotResume>();
        resume->hook(QObject::connect(&process_, &QProcess::finished, [resume, handle] { (*resume)(handle); }));
        resume->hook(QObject::connect(&process_, &QProcess::errorOccurred, [resume, handle] { (*resume)(handle); }));
        if (seconds_ >= 0) {
            auto *timer = new QTimer(&process_);
            timer->setSingleShot(true);
            resume->hook(QObject::connect(timer, &QTimer::timeout, [resume, handle] { (*resume)(handle); }));
            timer->start(int(seconds_ * 1000));
        }
    }
    bool await_resume() const { return process_.state() == QProcess::NotRunning; }

private:
    QProcess &process_;
    double seconds_;
};

} // namespace

QCoro::Task<bool> processStarted(QProcess &process) { co_return co_await StartAwaiter(process); }

QCoro::Task<bool> processFinished(QProcess &process, double seconds)
{
    co_return co_await FinishAwaiter(process, seconds);
}

} // namespace vima
