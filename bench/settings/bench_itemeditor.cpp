// The slot editor over a configuration of 100 rings of 24 slots: a keystroke
// in the script editor (emission, write into the store, refresh) and a switch
// to another item (the kind's fields rebuilt), each with the event loop's
// layout and paint. Counters: median and maximum in milliseconds.
#include "QtBenchmarkMain.h"

#include "ItemEditorHost.h"
#include "SettingsHarness.h"
#include "settings/items/ItemEditorView.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPlainTextEdit>
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

struct Editor {
    SettingsHarness harness;
    std::unique_ptr<ItemEditorView> view;
    std::unique_ptr<ItemEditorHost<ItemEditorView>> host;

    Editor(int ringIndex, int slot)
    {
        harness.fixture.open(largeConfig());
        view = std::make_unique<ItemEditorView>(harness.context());
        show(ringIndex, slot);
        view->resize(600, 800);
        view->show();
        QApplication::processEvents();
    }

    void show(int ringIndex, int slot)
    {
        const Ring &ring = harness.store().config().rings.at(ringIndex);
        host = std::make_unique<ItemEditorHost<ItemEditorView>>(harness.store(), *view, ring.id, ring.items.at(slot).id);
    }
};

void BM_ScriptKeystroke(benchmark::State &state)
{
    Editor editor(50, 0);
    auto *script = editor.view->findChild<QPlainTextEdit *>();
    script->setFocus();
    script->moveCursor(QTextCursor::End);
    QList<double> samples;
    QElapsedTimer timer;
    for (auto _ : state) {
        timer.start();
        QTest::keyClick(script, Qt::Key_A);
        QApplication::processEvents();
        samples << timer.nsecsElapsed() / 1e6;
    }
    const auto &stored = std::get<ShellPayload>(editor.host->stored().action.payload);
    if (!stored.script.endsWith(QStringLiteral("aaa")))
        state.SkipWithError("the keystrokes did not reach the store");
    report(state, samples);
}
BENCHMARK(BM_ScriptKeystroke)->Unit(benchmark::kMillisecond)->Iterations(300);

void BM_SwitchItem(benchmark::State &state)
{
    Editor editor(50, 0);
    QList<double> samples;
    QElapsedTimer timer;
    int slot = 0;
    for (auto _ : state) {
        slot = (slot + 1) % 24; // shell and AI items in turn
        timer.start();
        editor.show(50, slot);
        QApplication::processEvents();
        samples << timer.nsecsElapsed() / 1e6;
    }
    report(state, samples);
}
BENCHMARK(BM_SwitchItem)->Unit(benchmark::kMillisecond)->Iterations(200);

} // namespace

int main(int argc, char **argv)
{
    return runQtBenchmarks<QApplication>(argc, argv);
}
