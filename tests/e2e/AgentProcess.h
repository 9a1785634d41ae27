#pragma once

#include <QProcess>
#include <QStringList>
#include <unistd.h>

// The agent binary run by a test, with its log read as it comes. Stopped when
// the object goes.
class AgentProcess {
public:
    // `loggingRules`: QT_LOGGING_RULES for the agent; empty keeps the usual
    // categories of the tests, `usersDefaults` none at all.
    static inline const QString usersDefaults = QStringLiteral("(none)");
    explicit AgentProcess(const QString &loggingRules = {});
    ~AgentProcess();

    // Starts the agent and waits until it reports that it runs.
    bool start();
    // Starts the agent without waiting for anything.
    void launch();
    // Makes the agent start with `descriptor` closed, as `tavelon 2>&-` does.
    void closeAtStart(int descriptor) { process_.setChildProcessModifier([descriptor] { ::close(descriptor); }); }
    // Sends SIGTERM and waits for the exit; true when it exited normally.
    bool terminate();
    bool waitForExit(int timeoutMs = 10000);
    bool isRunning() const { return process_.state() != QProcess::NotRunning; }
    qint64 pid() const { return process_.processId(); }
    // Waits until a log line containing `text` has come; consumes lines up to it.
    bool waitForLog(const QString &text, int timeoutMs = 10000);
    // Every line logged so far.
    QStringList log()
    {
        read();
        return all_;
    }

private:
    void read();

    QProcess process_;
    QStringList pending_;
    QStringList all_;
    QByteArray partial_;
};
