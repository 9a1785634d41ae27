#include "model/Text.h"

#include <benchmark/benchmark.h>

using namespace vima;

namespace {

// A slot's summary in the settings list: the first line of its script, cut.
void firstLineCut(benchmark::State &state, const QString &script)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(Text::firstLineCut(script));
}
BENCHMARK_CAPTURE(firstLineCut, shortScript, QStringLiteral("open -a Safari\n"))->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(firstLineCut, tenMegabyteLine, QStringLiteral("echo é🇫🇷 ").repeated(640 * 1024)) // UTF-8
    ->Unit(benchmark::kMicrosecond);

} // namespace
