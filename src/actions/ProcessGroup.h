#pragma once

#include "async/Scheduler.h"

#include <QByteArrayView>
#include <QObject>
#include <QProcess>
#include <functional>

class QSocketNotifier;

namespace vima {

// A process that leads a group of its own, its standard output and error on
// one pipe that we read. Ending it ends everything it started, children left
// in the background included, and stops reading at once.
class ProcessGroup : public QObject {
    Q_OBJECT

public:
    // Between asking the group to end (TERM) and forcing it (KILL).
    static constexpr double grace = 1.0;

    explicit ProcessGroup(Scheduler &scheduler, QObject *parent = nullptr);
    // Ends a group still running or ending at once (the application quits):
    // waits at most the grace for the process, then forces the group.
    ~ProcessGroup() override;

    // Called with each piece of output as it arrives.
    std::function<void(QByteArrayView)> onOutput;

    // Standard input is empty.
    void start(const QString &program, const QStringList &arguments);
    QProcess &process() { return process_; }
    // Reads what the exited process left in the pipe, then stops reading: a
    // child still writing is not waited for.
    void drain();
    // Stops reading, sends TERM to the group, and KILL to what is left of it
    // after the grace.
    void end();
    // The owner is done with it: deleted now, or once an ending group has
    // been forced.
    void release();

private:
    void read(qsizetype most);
    void closeOutput();
    void signalGroup(int signal) const;
    void force();

    Scheduler &scheduler_;
    QProcess process_;
    qint64 group_ = 0;
    int output_ = -1;
    QSocketNotifier *notifier_ = nullptr;
    Scheduler::TimerId forceTimer_ = 0;
    bool ending_ = false;
    bool released_ = false;
};

} // namespace vima
