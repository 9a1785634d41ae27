// Loading, publishing and saving a large configuration: 100 rings of 24 slots.
#include "async/FakeScheduler.h"
#include "model/JsonWriter.h"
#include "store/ConfigStore.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

using namespace vima;

namespace {

VimaConfig largeConfig()
{
    VimaConfig config;
    config.slotCount = 24;
    const QString prompt = QStringLiteral(
        "Rewrite the user's text so that it reads clearly and naturally in {{language}}. Keep "
        "the meaning, names and numbers; fix grammar and spelling. Reply with the result only.");
    for (int r = 0; r < 100; ++r) {
        Ring ring{QUuid::createUuid(), QStringLiteral("Ring %1").arg(r), std::nullopt, r > 0,
                  std::nullopt, {}};
        for (qint64 slot = 0; slot < 24; ++slot) {
            ItemAction action = slot % 2
                ? ItemAction{AIPayload{prompt, ResultHandling::replaceSelection, QStringLiteral("Spanish"),
                                       std::nullopt, false}}
                : ItemAction{ShellPayload{QStringLiteral("ls -la ~/Downloads | head"),
                                          QStringLiteral("/bin/zsh"), true}};
            ring.items.append({QUuid::createUuid(), QStringLiteral("Slot %1").arg(slot),
                               IconSpec::symbol(QStringLiteral("sparkles")), slot, action});
        }
        config.rings.append(ring);
    }
    return config;
}

struct Folder {
    QTemporaryDir root;
    QString path() const { return root.filePath(QStringLiteral("Vima")); }

    explicit Folder(const VimaConfig &config)
    {
        QDir().mkpath(path());
        QFile file(path() + QStringLiteral("/config.json"));
        file.open(QIODevice::WriteOnly);
        file.write(ConfigStore::encode(config));
    }
};

void load(benchmark::State &state)
{
    const Folder folder(largeConfig());
    FakeScheduler scheduler;
    for (auto _ : state) {
        ConfigStore store(folder.path(), scheduler);
        benchmark::DoNotOptimize(store.config().rings.size());
    }
}

// Publishing compares the new value with the old before it notifies.
void publish(benchmark::State &state)
{
    const Folder folder(largeConfig());
    FakeScheduler scheduler;
    ConfigStore store(folder.path(), scheduler);
    VimaConfig edited = store.config();
    for (auto _ : state) {
        edited.rings.last().items.last().slot ^= 1;
        store.setConfig(edited);
    }
}

void save(benchmark::State &state)
{
    const Folder folder(largeConfig());
    FakeScheduler scheduler;
    ConfigStore store(folder.path(), scheduler);
    VimaConfig edited = store.config();
    // A save writes only what changed: each round has one change to write.
    for (auto _ : state) {
        edited.rings.last().items.last().slot ^= 1;
        store.setConfig(edited);
        store.save();
    }
}

// The encoding share of a save, without the disk.
void encode(benchmark::State &state)
{
    const VimaConfig config = largeConfig();
    for (auto _ : state)
        benchmark::DoNotOptimize(ConfigStore::encode(config).size());
    state.counters["bytes"] = double(ConfigStore::encode(config).size());
}

// The same text through a QJsonDocument, as saves were written before.
void encodeThroughDocument(benchmark::State &state)
{
    const VimaConfig config = largeConfig();
    for (auto _ : state)
        benchmark::DoNotOptimize(JsonWriter::encode(config.toJson()).size());
}

} // namespace

BENCHMARK(load)->Unit(benchmark::kMillisecond);
BENCHMARK(publish)->Unit(benchmark::kMillisecond);
BENCHMARK(save)->Unit(benchmark::kMillisecond);
BENCHMARK(encode)->Unit(benchmark::kMillisecond);
BENCHMARK(encodeThroughDocument)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
