#pragma once

#include <QObject>
#include <QSocketNotifier>
#include <memory>

namespace vima {

// Turns SIGTERM, SIGINT and SIGHUP into a Qt signal on the GUI thread, so the
// agent quits in order and runs its termination save. A GUI thread that never
// gets back to its event loop can't do that: `grace` seconds after the first
// signal the process ends as that signal would have ended it, without the
// save, which is right, as the configuration may then be half changed.
class UnixSignalWatcher final : public QObject {
    Q_OBJECT
public:
    static constexpr unsigned defaultGrace = 5;

    explicit UnixSignalWatcher(unsigned grace = defaultGrace, QObject *parent = nullptr);
    ~UnixSignalWatcher() override;

Q_SIGNALS:
    void quitRequested(int signal);

private:
    static void handle(int signal);
    static void endAsSignalled(int);
    void readSignal();

    std::unique_ptr<QSocketNotifier> notifier_;
};

} // namespace vima
