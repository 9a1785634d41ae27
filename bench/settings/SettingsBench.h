#pragma once

// What the settings benchmarks share: a large configuration and the timing
// of one step per round, reported as median and maximum in milliseconds.
#include "SettingsHarness.h"

#include <QApplication>
#include <QElapsedTimer>
#include <algorithm>
#include <benchmark/benchmark.h>

namespace vima::test {

// 100 rings of 24 slots, shell and AI items in turn; the last ten are sub-rings.
inline VimaConfig largeMixedConfig()
{
    VimaConfig config;
    config.slotCount = 24;
    for (int r = 0; r < 100; ++r) {
        QList<RingItem> items;
        for (int s = 0; s < 24; ++s) {
            RingItem item = shellItem(s, QStringLiteral("Item %1").arg(s));
            if (s % 2)
                item.action = ItemAction::defaultAction(ItemAction::Kind::ai);
            items << item;
        }
        config.rings << ring(QStringLiteral("Ring %1").arg(r), items, r >= 90);
    }
    return config;
}

inline void reportMilliseconds(benchmark::State &state, QList<double> samples)
{
    std::sort(samples.begin(), samples.end());
    state.counters["median_ms"] = samples.at(samples.size() / 2);
    state.counters["max_ms"] = samples.constLast();
}

// Times `step(round)` and the event loop's layout and paint after it.
template <typename Step>
void measureRounds(benchmark::State &state, Step step)
{
    QList<double> samples;
    QElapsedTimer timer;
    int round = 0;
    for (auto _ : state) {
        timer.start();
        step(round++);
        QApplication::processEvents();
        samples << timer.nsecsElapsed() / 1e6;
    }
    reportMilliseconds(state, samples);
}

} // namespace vima::test
