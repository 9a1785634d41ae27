#pragma once

#include <QObject>
#include <QSocketNotifier>
#include <memory>

namespace vima {

// Turns SIGTERM, SIGINT and SIGHUP into a Qt signal on the GUI thread, so the
// agent quits in order and runs its termination save.
class UnixSignalWatcher final : public QObject {
    Q_OBJECT
public:
    explicit UnixSignalWatcher(QObject *parent = nullptr);
    ~UnixSignalWatcher() override;

Q_SIGNALS:
    void quitRequested(int signal);

private:
    static void handle(int signal);
    void readSignal();

    std::unique_ptr<QSocketNotifier> notifier_;
};

} // namespace vima
