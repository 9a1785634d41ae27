// The Items tab over a configuration of 100 rings of 24 slots: opening the
// tab, switching rings, selecting an item and one keystroke in the slot
// editor's title, each with the event loop's layout and paint. Counters:
// median and maximum in milliseconds.
#include "QtBenchmarkMain.h"

#include "SettingsHarness.h"
#include "settings/items/ItemDetailPane.h"
#include "settings/items/ItemEditorView.h"
#include "settings/items/ItemsSettingsModel.h"
#include "settings/items/ItemsSettingsView.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTest>
#include <algorithm>

using namespace vima;
using namespace vima::test;

namespace {

VimaConfig largeConfig()
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

void report(benchmark::State &state, QList<double> samples)
{
    std::sort(samples.begin(), samples.end());
    state.counters["median_ms"] = samples.at(samples.size() / 2);
    state.counters["max_ms"] = samples.constLast();
}

struct Tab {
    SettingsHarness harness;
    std::unique_ptr<ItemsSettingsView> view;

    Tab() { harness.fixture.open(largeConfig()); }

    void open()
    {
        view = std::make_unique<ItemsSettingsView>(harness.context(), ItemsSheetFactory{});
        view->resize(900, 640);
        view->show();
        QApplication::processEvents();
    }
    const Ring &ring(int index) const { return harness.fixture.store->config().rings.at(index); }
};

template <typename Step>
void measure(benchmark::State &state, Step step)
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
    report(state, samples);
}

void BM_OpenTab(benchmark::State &state)
{
    Tab tab;
    measure(state, [&](int) { tab.open(); });
}
BENCHMARK(BM_OpenTab)->Unit(benchmark::kMillisecond)->Iterations(50);

void BM_SwitchRing(benchmark::State &state)
{
    Tab tab;
    tab.open();
    measure(state, [&](int round) { tab.view->model().selectRing(tab.ring(round % 100).id); });
}
BENCHMARK(BM_SwitchRing)->Unit(benchmark::kMillisecond)->Iterations(200);

void BM_SelectItem(benchmark::State &state)
{
    Tab tab;
    tab.open();
    tab.view->model().selectRing(tab.ring(50).id);
    measure(state, [&](int round) { tab.view->model().selectItem(tab.ring(50).items.at(round % 24).id); });
}
BENCHMARK(BM_SelectItem)->Unit(benchmark::kMillisecond)->Iterations(200);

void BM_EditorKeystroke(benchmark::State &state)
{
    Tab tab;
    tab.open();
    tab.view->model().selectRing(tab.ring(50).id);
    tab.view->model().selectItem(tab.ring(50).items.at(0).id);
    QApplication::processEvents();
    auto *title = tab.view->detail()->editor()->findChild<QLineEdit *>();
    title->setFocus();
    title->end(false);
    measure(state, [&](int) { QTest::keyClick(title, Qt::Key_A); });
    if (!tab.ring(50).items.at(0).title.endsWith(QStringLiteral("aaa")))
        state.SkipWithError("the keystrokes did not reach the store");
}
BENCHMARK(BM_EditorKeystroke)->Unit(benchmark::kMillisecond)->Iterations(300);

} // namespace

int main(int argc, char **argv)
{
    return runQtBenchmarks<QApplication>(argc, argv);
}
