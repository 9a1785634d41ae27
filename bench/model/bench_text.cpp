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

// A name cut for a label: one character of a million combining marks, and
// texts of 100,000 and 1,000,000 emoji.
void cut(benchmark::State &state, const QString &text)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(Text::cut(text, 200));
}
BENCHMARK_CAPTURE(cut, combiningMarks, u'a' + QString(1'000'000, QChar(0x0301)))->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(cut, emoji100k, QStringLiteral("😀").repeated(100'000))->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(cut, emoji1M, QStringLiteral("😀").repeated(1'000'000))->Unit(benchmark::kMicrosecond);

} // namespace
