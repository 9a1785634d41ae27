#include "SupportProgram.h"

#include "BuildFolder.h"

#include <QDeadlineTimer>
#include <QTest>

SupportProgram::SupportProgram(const QString &name, const QStringList &arguments)
{
    const QString dir = buildFolder() + QStringLiteral("/tests/support/x11/");
    process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process_.start(dir + name, arguments);
    process_.waitForStarted();
}

SupportProgram::~SupportProgram()
{
    process_.kill();
    process_.waitForFinished();
}

QString SupportProgram::nextLine(int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    while (lines_.isEmpty() && !deadline.hasExpired()) {
        QTest::qWait(10);
        partial_ += process_.readAllStandardOutput();
        while (partial_.contains('\n')) {
            const qsizetype end = partial_.indexOf('\n');
            lines_.append(QString::fromUtf8(partial_.left(end)));
            partial_.remove(0, end + 1);
        }
    }
    return lines_.isEmpty() ? QString() : lines_.takeFirst();
}

QString SupportProgram::waitForLine(const QString &prefix, int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    while (!deadline.hasExpired()) {
        const QString line = nextLine(static_cast<int>(deadline.remainingTime()));
        if (line.startsWith(prefix))
            return line;
    }
    return {};
}

int SupportProgram::run(const QString &program, const QStringList &arguments, QByteArray *errors)
{
    QProcess process;
    process.setProcessChannelMode(errors ? QProcess::ForwardedOutputChannel : QProcess::ForwardedChannels);
    process.start(program, arguments);
    if (!process.waitForStarted())
        return -1;
    const QDeadlineTimer deadline(20000);
    while (process.state() != QProcess::NotRunning && !deadline.hasExpired())
        QTest::qWait(5);
    if (errors)
        *errors = process.readAllStandardError();
    return process.state() == QProcess::NotRunning && process.exitStatus() == QProcess::NormalExit
               ? process.exitCode()
               : -1;
}
