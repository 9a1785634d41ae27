#include "async/FakeScheduler.h"
#include "platform/fake/FakeHotKeyRegistrar.h"
#include "platform/fake/FakePointerEventTap.h"
#include "services/HotkeyManager.h"
#include "services/PointerTriggerMonitor.h"

#include "QtBenchmarkMain.h"

#include <QCoreApplication>
#include <benchmark/benchmark.h>

using namespace vima;

namespace {

using Type = PointerEventTap::EventType;

// Every right-button drag of every application goes through the monitor while
// the button is held: the cost of one, waiting for the hold and once recognised.
void pointerDrag(benchmark::State &state, bool recognised)
{
    FakePointerEventTap tap;
    FakeScheduler clock;
    PointerTriggerMonitor monitor(tap, clock);
    monitor.start();
    tap.send(Type::rightMouseDown, {100, 100});
    if (recognised)
        clock.advance(0.25);
    double x = 0;
    for (auto _ : state) {
        x = x > 5 ? 0 : x + 0.5;
        benchmark::DoNotOptimize(tap.send(Type::rightMouseDragged, {100 + x, 100}));
    }
}

void BM_DragWhileWaiting(benchmark::State &state) { pointerDrag(state, false); }
void BM_DragOnceRecognised(benchmark::State &state) { pointerDrag(state, true); }

// A whole short click: down, a few drags, up.
void BM_ShortClick(benchmark::State &state)
{
    FakePointerEventTap tap;
    FakeScheduler clock;
    PointerTriggerMonitor monitor(tap, clock);
    monitor.start();
    for (auto _ : state) {
        tap.send(Type::rightMouseDown, {100, 100});
        for (int i = 0; i < 4; ++i)
            tap.send(Type::rightMouseDragged, {100.0 + i, 100});
        benchmark::DoNotOptimize(tap.send(Type::rightMouseUp, {103, 100}));
    }
}

// The status-bar menu names the hotkey each time it opens.
void BM_DisplayName(benchmark::State &state)
{
    FakeHotKeyRegistrar registrar;
    registrar.layout = {{40, QStringLiteral("k")}};
    HotkeyManager manager(registrar);
    for (auto _ : state)
        benchmark::DoNotOptimize(HotkeyManager::displayName(40, 0x120000));
}

} // namespace

BENCHMARK(BM_DragWhileWaiting);
BENCHMARK(BM_DragOnceRecognised);
BENCHMARK(BM_ShortClick);
BENCHMARK(BM_DisplayName);

int main(int argc, char **argv)
{
    return vima::runQtBenchmarks<QCoreApplication>(argc, argv);
}
