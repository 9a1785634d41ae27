// What the hotkey recorder's refusal check costs on a real X server, where every
// combination is probed with a grab: one free, one another client holds. Run inside a desktop: tests/support/xsession.sh bench_reservation_x11
#include "model/Settings.h"
#include "platform/x11/X11HotKeyProbe.h"
#include "platform/x11/X11HotKeyRegistrar.h"
#include "services/SystemShortcuts.h"

#include "QtBenchmarkMain.h"

#include <QGuiApplication>
#include <algorithm>
#include <cstdlib>
#include <benchmark/benchmark.h>
#include <xcb/xcb.h>

using namespace vima;

namespace {

constexpr quint32 k = 40;
constexpr xcb_keycode_t kKeycode = 45;

void lookUp(benchmark::State &state, quint64 flags)
{
    X11HotKeyRegistrar registrar;
    const X11HotKeyProbe probe(registrar);
    const SystemShortcuts shortcuts(probe);
    for (auto _ : state)
        benchmark::DoNotOptimize(shortcuts.reservation(k, flags));
}

void BM_FreeCombination(benchmark::State &state) { lookUp(state, HotkeySpec::control | HotkeySpec::option); }

void BM_CombinationHeldElsewhere(benchmark::State &state)
{
    xcb_connection_t *other = xcb_connect(nullptr, nullptr);
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(other)).data->root;
    std::free(xcb_request_check(other, xcb_grab_key_checked(other, 1, root, XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_SHIFT,
                                                            kKeycode, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC)));
    lookUp(state, HotkeySpec::control | HotkeySpec::shift);
    xcb_disconnect(other);
}

double maximum(const std::vector<double> &values) { return *std::max_element(values.begin(), values.end()); }

} // namespace

BENCHMARK(BM_FreeCombination)->Repetitions(9)->ComputeStatistics("max", maximum);
BENCHMARK(BM_CombinationHeldElsewhere)->Repetitions(9)->ComputeStatistics("max", maximum);

int main(int argc, char **argv) { return runQtBenchmarks<QGuiApplication>(argc, argv); }
