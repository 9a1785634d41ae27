#include "actions/ProcessGroup.h"

#include "async/ChildProcess.h"

#include <QSocketNotifier>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace vima {
namespace {

constexpr qsizetype chunkSize = 64 * 1024;
constexpr int reapMilliseconds = 5000;

} // namespace

ProcessGroup::ProcessGroup(Scheduler &scheduler, QObject *parent) : QObject(parent), scheduler_(scheduler) {}

ProcessGroup::~ProcessGroup()
{
    if (forceTimer_)
        scheduler_.cancel(forceTimer_);
    closeOutput();
    if (process_.state() == QProcess::NotRunning && !ending_)
        return;
    // Nobody waits for it any more: its signals must not resume anyone.
    QObject::disconnect(&process_, nullptr, nullptr, nullptr);
    signalGroup(SIGTERM);
    process_.waitForFinished(int(grace * 1000));
    signalGroup(SIGKILL);
    process_.waitForFinished(reapMilliseconds);
}

void ProcessGroup::start(const QString &program, const QStringList &arguments)
{
    int pipe[2] = {-1, -1};
    const bool piped = ::pipe2(pipe, O_CLOEXEC) == 0;
    const int writeEnd = pipe[1];
    process_.setStandardInputFile(QProcess::nullDevice());
    if (piped) {
        process_.setProcessChannelMode(QProcess::ForwardedChannels);
    } else {
        process_.setStandardOutputFile(QProcess::nullDevice());
        process_.setStandardErrorFile(QProcess::nullDevice());
    }
    ChildProcess::inheritStandardOnly(process_, [writeEnd] {
        ::setpgid(0, 0);
        if (writeEnd >= 0) {
            ::dup2(writeEnd, STDOUT_FILENO);
            ::dup2(writeEnd, STDERR_FILENO);
        }
    });
    process_.start(program, arguments);
    group_ = process_.processId();
    // Also from this side, so that the group exists before the child runs.
    if (group_ > 0)
        ::setpgid(pid_t(group_), pid_t(group_));
    if (!piped)
        return;
    ::close(writeEnd);
    output_ = pipe[0];
    ::fcntl(output_, F_SETFL, ::fcntl(output_, F_GETFL) | O_NONBLOCK);
    notifier_ = new QSocketNotifier(output_, QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, [this] { read(chunkSize); });
}

void ProcessGroup::read(qsizetype most)
{
    QByteArray buffer(most, Qt::Uninitialized);
    const ssize_t count = ::read(output_, buffer.data(), size_t(most));
    if (count > 0) {
        if (onOutput)
            onOutput(QByteArrayView(buffer.constData(), count));
        return;
    }
    if (count == 0 || (errno != EAGAIN && errno != EINTR))
        closeOutput();
}

void ProcessGroup::drain()
{
    if (output_ < 0)
        return;
    // Only what is there now: a child left in the background may write on.
    int available = 0;
    if (::ioctl(output_, FIONREAD, &available) == 0 && available > 0)
        read(available);
    closeOutput();
}

void ProcessGroup::closeOutput()
{
    delete notifier_;
    notifier_ = nullptr;
    if (output_ >= 0)
        ::close(output_);
    output_ = -1;
}

void ProcessGroup::signalGroup(int signal) const
{
    if (group_ > 0)
        ::kill(pid_t(-group_), signal);
}

void ProcessGroup::end()
{
    if (ending_)
        return;
    ending_ = true;
    // A writer that outlives the TERM gets a broken pipe, not a reader.
    closeOutput();
    signalGroup(SIGTERM);
    forceTimer_ = scheduler_.schedule(grace, [this] { force(); });
}

void ProcessGroup::force()
{
    forceTimer_ = 0;
    signalGroup(SIGKILL);
    ending_ = false;
    if (released_)
        delete this;
}

void ProcessGroup::release()
{
    onOutput = nullptr;
    if (ending_)
        released_ = true;
    else
        delete this;
}

} // namespace vima
