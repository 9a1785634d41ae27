#include "async/ProcessWait.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <QTimer>
#include <cerrno>
#include <coroutine>
#include <functional>
#include <memory>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>
#include <utility>

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

// Collects one child's exit, told by its pidfd, and goes. Kernels before 5.3
// have no pidfd: it then asks now and then.
class ChildReaper : public QObject {
public:
    static constexpr int pollMs = 100;

    explicit ChildReaper(pid_t pid) : QObject(QCoreApplication::instance()), pid_(pid)
    {
        pidfd_ = int(::syscall(SYS_pidfd_open, pid, 0));
        if (pidfd_ >= 0) {
            auto *notifier = new QSocketNotifier(pidfd_, QSocketNotifier::Read, this);
            connect(notifier, &QSocketNotifier::activated, this, &ChildReaper::check);
        } else {
            auto *timer = new QTimer(this);
            connect(timer, &QTimer::timeout, this, &ChildReaper::check);
            timer->start(pollMs);
        }
    }
    ~ChildReaper() override
    {
        if (pidfd_ >= 0)
            ::close(pidfd_);
    }

    // Called once with the exit code, -1 when a signal ended it or another
    // wait took its status.
    std::function<void(int)> onExit;

private:
    void check()
    {
        if (reaped_)
            return;
        int status = 0;
        const pid_t reaped = ::waitpid(pid_, &status, WNOHANG);
        if (reaped == 0 || (reaped < 0 && errno == EINTR))
            return;
        // Its pid is free for another child from now on.
        reaped_ = true;
        const int code = reaped == pid_ && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        if (const auto exit = std::exchange(onExit, nullptr))
            exit(code);
        deleteLater();
    }

    pid_t pid_;
    int pidfd_ = -1;
    bool reaped_ = false;
};

class ChildExitAwaiter {
public:
    ChildExitAwaiter(pid_t pid, double seconds) : pid_(pid), seconds_(seconds) {}

    bool await_ready() const { return false; }
    void await_suspend(std::coroutine_handle<> handle)
    {
        auto *reaper = new ChildReaper(pid_);
        auto resume = std::make_shared<OneShotResume>();
        reaper->onExit = [resume, handle, code = code_](int exitCode) {
            *code = exitCode;
            (*resume)(handle);
        };
        if (seconds_ >= 0) {
            // Lives no longer than the reaper, which outlives the wait.
            auto *timer = new QTimer(reaper);
            timer->setSingleShot(true);
            QObject::connect(timer, &QTimer::timeout, reaper, [reaper, resume, handle] {
                reaper->onExit = nullptr;
                (*resume)(handle);
            });
            timer->start(int(seconds_ * 1000));
        }
    }
    std::optional<int> await_resume() const { return *code_; }

private:
    pid_t pid_;
    double seconds_;
    std::shared_ptr<std::optional<int>> code_ = std::make_shared<std::optional<int>>();
};

} // namespace

QCoro::Task<bool> processStarted(QProcess &process) { co_return co_await StartAwaiter(process); }

QCoro::Task<bool> processFinished(QProcess &process, double seconds)
{
    co_return co_await FinishAwaiter(process, seconds);
}

QCoro::Task<std::optional<int>> childExited(pid_t pid, double seconds)
{
    co_return co_await ChildExitAwaiter(pid, seconds);
}

void reapWhenExited(pid_t pid) { new ChildReaper(pid); }

} // namespace vima
