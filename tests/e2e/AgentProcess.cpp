#include "AgentProcess.h"

#include <QDeadlineTimer>
#include <QProcessEnvironment>
#include <QTest>

AgentProcess::AgentProcess(const QString &loggingRules)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    const QString testRules = QStringLiteral("com.vima.Vima.*.info=true;com.vima.Vima.Latency.debug=true;"
                                             "com.vima.Vima.Ring.debug=true");
    if (loggingRules == usersDefaults)
        env.remove(QStringLiteral("QT_LOGGING_RULES"));
    else
        env.insert(QStringLiteral("QT_LOGGING_RULES"), loggingRules.isEmpty() ? testRules : loggingRules);
    env.insert(QStringLiteral("QT_MESSAGE_PATTERN"), QStringLiteral("%{category}: %{message}"));
    process_.setProcessEnvironment(env);
    process_.setProcessChannelMode(QProcess::MergedChannels);
}

AgentProcess::~AgentProcess()
{
    if (isRunning()) {
        process_.kill();
        process_.waitForFinished();
    }
}

bool AgentProcess::start()
{
    launch();
    return process_.waitForStarted() && waitForLog(QStringLiteral("Tavelon is running"));
}

void AgentProcess::launch() { process_.start(QStringLiteral(TAVELON_BINARY), {}); }

bool AgentProcess::terminate()
{
    process_.terminate();
    return waitForExit() && process_.exitStatus() == QProcess::NormalExit && process_.exitCode() == 0;
}

bool AgentProcess::waitForExit(int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    while (isRunning() && !deadline.hasExpired())
        QTest::qWait(10);
    read();
    return !isRunning();
}

void AgentProcess::read()
{
    partial_ += process_.readAll();
    while (partial_.contains('\n')) {
        const qsizetype end = partial_.indexOf('\n');
        const QString line = QString::fromUtf8(partial_.left(end));
        pending_.append(line);
        all_.append(line);
        partial_.remove(0, end + 1);
    }
}

bool AgentProcess::waitForLog(const QString &text, int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    for (;;) {
        read();
        while (!pending_.isEmpty()) {
            if (pending_.takeFirst().contains(text))
                return true;
        }
        if (deadline.hasExpired() || !isRunning())
            return false;
        QTest::qWait(10);
    }
}
