#include "model/JsonReader.h"
#include "model/JsonWriter.h"
#include "model/VimaConfig.h"

#include <benchmark/benchmark.h>

using namespace vima;

namespace {

// A large configuration: 40 rings (pages, app rings, packs) of 24 AI slots.
VimaConfig largeConfig()
{
    VimaConfig config;
    for (int r = 0; r < 40; ++r) {
        Ring ring{QUuid::createUuid(), QStringLiteral("Ring %1").arg(r), std::nullopt, r % 3 == 2,
                  std::nullopt, {}};
        if (r % 3 == 1)
            ring.bundleIDMatch = QStringLiteral("app.number%1").arg(r);
        for (int slot = 0; slot < 24; ++slot) {
            ring.items.append({QUuid::createUuid(), QStringLiteral("Item %1").arg(slot),
                               IconSpec::symbol(QStringLiteral("sparkles")), slot,
                               ItemAction{AIPayload{QStringLiteral("Rewrite the text in {{language}}.\n")
                                                        .repeated(4),
                                                    ResultHandling::replaceSelection,
                                                    QStringLiteral("Spanish"), std::nullopt, false}}});
        }
        config.rings.append(ring);
    }
    return config;
}

void encodeConfig(benchmark::State &state)
{
    const VimaConfig config = largeConfig();
    for (auto _ : state)
        benchmark::DoNotOptimize(JsonWriter::encode(config));
}
BENCHMARK(encodeConfig)->Unit(benchmark::kMillisecond);

void decodeConfig(benchmark::State &state)
{
    const QByteArray text = JsonWriter::encode(largeConfig());
    for (auto _ : state)
        benchmark::DoNotOptimize(VimaConfig::fromJson(JsonReader::parse(text)));
}
BENCHMARK(decodeConfig)->Unit(benchmark::kMillisecond);

void ringsForApp(benchmark::State &state)
{
    const VimaConfig config = largeConfig();
    const std::optional<QString> bundleID = QStringLiteral("app.number37");
    for (auto _ : state)
        benchmark::DoNotOptimize(config.ringsForApp(bundleID));
}
BENCHMARK(ringsForApp)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
