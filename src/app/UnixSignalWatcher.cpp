#include "app/UnixSignalWatcher.h"

#include <cerrno>
#include <csignal>
#include <pthread.h>
#include <sys/socket.h>
#include <unistd.h>

namespace vima {
namespace {
int fds[2] = {-1, -1};
const int watched[] = {SIGTERM, SIGINT, SIGHUP};
unsigned graceSeconds = UnixSignalWatcher::defaultGrace;
// The first signal asked for; the grace counts from it alone.
volatile sig_atomic_t firstSignal = 0;

void install(int signal, void (*handler)(int))
{
    struct sigaction action = {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(signal, &action, nullptr);
}
} // namespace

UnixSignalWatcher::UnixSignalWatcher(unsigned grace, QObject *parent) : QObject(parent)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, fds) != 0)
        return;
    graceSeconds = grace;
    notifier_ = std::make_unique<QSocketNotifier>(fds[1], QSocketNotifier::Read);
    connect(notifier_.get(), &QSocketNotifier::activated, this, &UnixSignalWatcher::readSignal);
    // Kernel-kept: it fires whatever the threads are doing, and stays set
    // past this object, for a quit that hangs after the event loop.
    install(SIGALRM, &UnixSignalWatcher::endAsSignalled);
    for (int signal : watched)
        install(signal, &UnixSignalWatcher::handle);
}

UnixSignalWatcher::~UnixSignalWatcher()
{
    for (int signal : watched)
        ::signal(signal, SIG_DFL);
    notifier_.reset();
    for (int &fd : fds) {
        if (fd >= 0)
            ::close(fd);
        fd = -1;
    }
}

void UnixSignalWatcher::handle(int signal)
{
    // Only async-signal-safe work here: hand the number to the event loop.
    const int savedErrno = errno;
    if (firstSignal == 0) {
        firstSignal = signal;
        ::alarm(graceSeconds);
    }
    const char byte = static_cast<char>(signal);
    [[maybe_unused]] const auto written = ::write(fds[0], &byte, 1);
    errno = savedErrno;
}

void UnixSignalWatcher::endAsSignalled(int)
{
    const int signal = firstSignal;
    if (signal == 0)
        return; // an alarm that is not ours
    ::signal(signal, SIG_DFL);
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, signal);
    ::pthread_sigmask(SIG_UNBLOCK, &set, nullptr);
    ::raise(signal);
    ::_exit(128 + signal);
}

void UnixSignalWatcher::readSignal()
{
    char byte = 0;
    if (::read(fds[1], &byte, 1) == 1)
        Q_EMIT quitRequested(byte);
}

} // namespace vima
