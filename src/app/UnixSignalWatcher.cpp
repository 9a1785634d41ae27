#include "app/UnixSignalWatcher.h"

#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace vima {
namespace {
int fds[2] = {-1, -1};
const int watched[] = {SIGTERM, SIGINT, SIGHUP};
} // namespace

UnixSignalWatcher::UnixSignalWatcher(QObject *parent) : QObject(parent)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, fds) != 0)
        return;
    notifier_ = std::make_unique<QSocketNotifier>(fds[1], QSocketNotifier::Read);
    connect(notifier_.get(), &QSocketNotifier::activated, this, &UnixSignalWatcher::readSignal);
    struct sigaction action = {};
    action.sa_handler = &UnixSignalWatcher::handle;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signal : watched)
        ::sigaction(signal, &action, nullptr);
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
    const char byte = static_cast<char>(signal);
    [[maybe_unused]] const auto written = ::write(fds[0], &byte, 1);
}

void UnixSignalWatcher::readSignal()
{
    char byte = 0;
    if (::read(fds[1], &byte, 1) == 1)
        Q_EMIT quitRequested(byte);
}

} // namespace vima
