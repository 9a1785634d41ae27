#include "actions/ClipboardLane.h"
#include "actions/ScriptRunner.h"
#include "actions/SelectionService.h"
#include "async/FakeScheduler.h"
#include "platform/fake/FakeAccessibility.h"
#include "platform/fake/FakeAppleScriptEngine.h"
#include "platform/fake/FakeApplicationActivator.h"
#include "platform/fake/FakeApplicationCatalog.h"
#include "platform/fake/FakeApplicationLauncher.h"
#include "platform/fake/FakeDesktopOpener.h"
#include "platform/fake/FakeKeySender.h"
#include "platform/fake/FakePasteboard.h"

#include "QtBenchmarkMain.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <benchmark/benchmark.h>

using namespace vima;

namespace {

// The slowest accessibility read the search allows: nothing selected
// anywhere, a window full enough that all 96 elements are examined.
void BM_SelectionSearchWithoutSelection(benchmark::State &state)
{
    FakeAccessibility accessibility;
    FakePasteboard pasteboard;
    FakeKeySender keys;
    FakeApplicationActivator activator;
    FakeScheduler scheduler;
    ClipboardLane lane(scheduler);
    SelectionService service({accessibility, pasteboard, keys, activator, scheduler, lane});
    auto app = FakeAccessibilityElement::make();
    auto window = FakeAccessibilityElement::make();
    QList<AccessibilityElement::Pointer> level1;
    for (int i = 0; i < 32; ++i) {
        auto child = FakeAccessibilityElement::make();
        QList<AccessibilityElement::Pointer> level2;
        for (int j = 0; j < 32; ++j)
            level2.append(FakeAccessibilityElement::make());
        child->childList = level2;
        level1.append(child);
    }
    window->childList = level1;
    app->window = window;
    accessibility.applications.insert(1, app);
    const RunningApplication target{1, QStringLiteral("app"), QStringLiteral("App")};
    for (auto _ : state)
        benchmark::DoNotOptimize(service.readViaAccessibility(target, {}));
}
BENCHMARK(BM_SelectionSearchWithoutSelection);

// What a shell item costs beyond its script: starting /bin/sh as a login
// shell, collecting its output and seeing it exit.
void BM_ShellItemRoundTrip(benchmark::State &state)
{
    FakeApplicationCatalog catalog;
    FakeApplicationLauncher launcher;
    FakeDesktopOpener opener;
    FakeAppleScriptEngine appleScript;
    ScriptRunner runner(catalog, launcher, opener, appleScript);
    for (auto _ : state) {
        QEventLoop loop;
        QString output;
        auto task = [&]() -> QCoro::Task<void> {
            output = co_await runner.runShell(QStringLiteral("echo hi"), QStringLiteral("/bin/sh"));
            loop.quit();
        }();
        if (output.isEmpty())
            loop.exec();
        benchmark::DoNotOptimize(output);
    }
    state.SetLabel("real /bin/sh -l -c");
}
BENCHMARK(BM_ShellItemRoundTrip)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    return vima::runQtBenchmarks<QCoreApplication>(argc, argv);
}
