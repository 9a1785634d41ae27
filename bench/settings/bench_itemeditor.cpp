// The slot editor over a configuration of 100 rings of 24 slots: a keystroke
// in the script editor (emission, write into the store, refresh) and a switch
// to another item (the kind's fields rebuilt), each with the event loop's
// layout and paint. Counters: median and maximum in milliseconds.
#include "QtBenchmarkMain.h"

#include "ItemEditorHost.h"
#include "SettingsBench.h"
#include "settings/items/ItemEditorView.h"

#include <QApplication>
#include <QPlainTextEdit>
#include <QTest>

using namespace vima;
using namespace vima::test;

namespace {

struct Editor {
    SettingsHarness harness;
    std::unique_ptr<ItemEditorView> view;
    std::unique_ptr<ItemEditorHost<ItemEditorView>> host;

    Editor(int ringIndex, int slot)
    {
        harness.fixture.open(largeMixedConfig());
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
    measureRounds(state, [&](int) { QTest::keyClick(script, Qt::Key_A); });
    const auto &stored = std::get<ShellPayload>(editor.host->stored().action.payload);
    if (!stored.script.endsWith(QStringLiteral("aaa")))
        state.SkipWithError("the keystrokes did not reach the store");
}
BENCHMARK(BM_ScriptKeystroke)->Unit(benchmark::kMillisecond)->Iterations(300);

void BM_SwitchItem(benchmark::State &state)
{
    Editor editor(50, 0);
    // Shell and AI items in turn.
    measureRounds(state, [&](int round) { editor.show(50, (round + 1) % 24); });
}
BENCHMARK(BM_SwitchItem)->Unit(benchmark::kMillisecond)->Iterations(200);

} // namespace

int main(int argc, char **argv)
{
    return runQtBenchmarks<QApplication>(argc, argv);
}
