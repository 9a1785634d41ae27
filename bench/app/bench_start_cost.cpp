// The agent's start with a slot title of the title field's limit (32,767
// characters) against a short one: time to running, CPU spent in the first
// 3 s (the ring's warm-up runs 1.5 s after start) and peak resident memory.
// The agent runs in a temporary home of its own, so that no real configuration
// is ever written over. Runs in a private X session:
//   tests/support/xsession.sh build/default/bench/app/bench_start_cost [runs]
#include "store/ConfigStore.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <QThread>
#include <cstdio>
#include <unistd.h>

using namespace vima;

namespace {

struct Figures {
    double runningMs = 0;
    double cpuSeconds = 0;
    double peakMB = 0;
};

QByteArray configWithTitle(const QString &title)
{
    VimaConfig config = ConfigStore::makeDefaultConfig();
    config.rings.first().items.first().title = title;
    return ConfigStore::encode(config);
}

double cpuSeconds(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray line = stat.readAll();
    // Fields after the command's closing parenthesis: utime and stime are 14th and 15th.
    const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
    return (fields.value(11).toDouble() + fields.value(12).toDouble()) / double(sysconf(_SC_CLK_TCK));
}

double peakMB(qint64 pid)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toDouble() / 1024.0;
    }
    return 0;
}

QProcessEnvironment environmentWithHome(const QString &home)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("HOME"), home);
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home + QStringLiteral("/.config"));
    environment.insert(QStringLiteral("XDG_DATA_HOME"), home + QStringLiteral("/.local/share"));
    environment.insert(QStringLiteral("XDG_CACHE_HOME"), home + QStringLiteral("/.cache"));
    return environment;
}

Figures runOnce(const QString &agent, const QString &home, const QByteArray &config)
{
    const QString path = home + QStringLiteral("/.config/Vima/config.json");
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(config) != config.size())
        qFatal("cannot write %s", qPrintable(path));
    file.close();

    QProcess process;
    process.setProcessEnvironment(environmentWithHome(home));
    process.setProcessChannelMode(QProcess::MergedChannels);
    QElapsedTimer clock;
    clock.start();
    process.start(agent, {});
    Figures figures;
    QByteArray log;
    while (!log.contains("Tavelon is running") && clock.elapsed() < 60000) {
        process.waitForReadyRead(50);
        log += process.readAll();
    }
    figures.runningMs = double(clock.nsecsElapsed()) / 1e6;
    QThread::msleep(3000 - std::min<qint64>(clock.elapsed(), 3000));
    figures.cpuSeconds = cpuSeconds(process.processId());
    figures.peakMB = peakMB(process.processId());
    process.terminate();
    if (!process.waitForFinished(10000))
        process.kill();
    process.waitForFinished();
    return figures;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 3;
    const QString agent = QCoreApplication::applicationDirPath() + QStringLiteral("/../../src/app/tavelon");
    const QTemporaryDir home;
    if (!home.isValid())
        qFatal("cannot make a temporary home: %s", qPrintable(home.errorString()));
    const std::pair<const char *, QString> titles[] = {
        {"short title", QStringLiteral("Summarize")},
        {"32,767-character title", QString(32767, u'W')},
    };
    std::printf("%-24s %12s %14s %10s  (mean of %d runs)\n", "", "running (ms)", "CPU in 3 s (s)", "peak (MB)",
                runs);
    for (const auto &[name, title] : titles) {
        const QByteArray config = configWithTitle(title);
        Figures sum;
        for (int run = 0; run < runs; ++run) {
            const Figures figures = runOnce(agent, home.path(), config);
            sum.runningMs += figures.runningMs;
            sum.cpuSeconds += figures.cpuSeconds;
            sum.peakMB += figures.peakMB;
        }
        std::printf("%-24s %12.0f %14.2f %10.1f\n", name, sum.runningMs / runs, sum.cpuSeconds / runs,
                    sum.peakMB / runs);
    }
    return 0;
}
