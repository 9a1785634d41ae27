// A shell slot that prints 200,000 lines, from the run to the result panel on
// screen: how long it takes, how long the GUI thread stands still meanwhile,
// and how much resident memory the process holds before and after.
// Run by hand: QT_QPA_PLATFORM=offscreen build/default/bench/actions/bench_shell_output [runs]
#include "actions/ActionRunner.h"
#include "actions/ResultWindowController.h"
#include "actions/ScriptRunner.h"
#include "platform/fake/FakeAppleScriptEngine.h"
#include "platform/fake/FakeApplicationCatalog.h"
#include "platform/fake/FakeApplicationLauncher.h"
#include "platform/fake/FakeDesktopOpener.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTimer>
#include <QUuid>
#include <algorithm>
#include <cstdio>

using namespace vima;

namespace {

double residentMB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toDouble() / 1024.0;
    }
    return 0;
}

struct Figures {
    double toPanelMs = 0;
    double longestStallMs = 0;
    double residentBeforeMB = 0;
    double residentAfterMB = 0;
};

Figures runOnce()
{
    FakeApplicationCatalog catalog;
    FakeApplicationLauncher launcher;
    FakeDesktopOpener opener;
    FakeAppleScriptEngine appleScript;
    ScriptRunner scripts(catalog, launcher, opener, appleScript);
    ActionRunner runner(scripts);
    ResultWindowController results;
    results.pointerLocation = [] { return QPoint(400, 300); };
    bool shown = false;
    runner.present = [&](const ActionOutcome &outcome) {
        results.show(outcome);
        shown = true;
    };

    Figures figures;
    figures.residentBeforeMB = residentMB();
    // The GUI thread's heartbeat: the longest gap between two beats is the stall.
    QElapsedTimer beat;
    QTimer heart;
    heart.setInterval(2);
    QObject::connect(&heart, &QTimer::timeout, [&] {
        figures.longestStallMs = std::max(figures.longestStallMs, beat.nsecsElapsed() / 1e6);
        beat.restart();
    });
    const RingItem item{QUuid::createUuid(), QStringLiteral("Lots"), IconSpec::symbol(QStringLiteral("terminal")), 0,
                        {ShellPayload{QStringLiteral("seq -f 'line %g of a long listing' 200000"),
                                      QStringLiteral("/bin/sh"), true}}};
    QElapsedTimer clock;
    clock.start();
    beat.start();
    heart.start();
    runner.run(item, std::nullopt);
    while (!shown)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    // The panel is on screen once its first paint went out.
    QCoreApplication::processEvents();
    figures.toPanelMs = clock.nsecsElapsed() / 1e6;
    heart.stop();
    figures.residentAfterMB = residentMB();
    return figures;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double maximum(const std::vector<double> &values) { return *std::max_element(values.begin(), values.end()); }

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 5;
    std::vector<double> toPanel, stall, before, after;
    for (int run = 0; run < runs; ++run) {
        const Figures figures = runOnce();
        toPanel.push_back(figures.toPanelMs);
        stall.push_back(figures.longestStallMs);
        before.push_back(figures.residentBeforeMB);
        after.push_back(figures.residentAfterMB);
    }
    std::printf("shell slot printing 200,000 lines, %d runs\n", runs);
    std::printf("  run to panel shown   median %8.1f ms   max %8.1f ms\n", median(toPanel), maximum(toPanel));
    std::printf("  GUI-thread stall     median %8.1f ms   max %8.1f ms\n", median(stall), maximum(stall));
    std::printf("  resident before run  first  %8.1f MB   last %7.1f MB\n", before.front(), before.back());
    std::printf("  resident after run   median %8.1f MB   max %8.1f MB\n", median(after), maximum(after));
    return 0;
}
