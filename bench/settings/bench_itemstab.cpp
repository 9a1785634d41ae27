// The Items tab over a configuration of 100 rings of 24 slots: opening the
// tab, switching rings, selecting an item and one keystroke in the slot
// editor's title, each with the event loop's layout and paint. Counters:
// median and maximum in milliseconds.
#include "QtBenchmarkMain.h"

#include "SettingsBench.h"
#include "settings/items/ItemDetailPane.h"
#include "settings/items/ItemEditorView.h"
#include "settings/items/ItemsSettingsModel.h"
#include "settings/items/ItemsSettingsView.h"

#include <QApplication>
#include <QLineEdit>
#include <QTest>

using namespace vima;
using namespace vima::test;

namespace {

struct Tab {
    SettingsHarness harness;
    std::unique_ptr<ItemsSettingsView> view;

    Tab() { harness.fixture.open(largeMixedConfig()); }

    void open()
    {
        view = std::make_unique<ItemsSettingsView>(harness.context(), ItemsSheetFactory{});
        view->resize(900, 640);
        view->show();
        QApplication::processEvents();
    }
    const Ring &ring(int index) const { return harness.fixture.store->config().rings.at(index); }
};

void BM_OpenTab(benchmark::State &state)
{
    Tab tab;
    measureRounds(state, [&](int) { tab.open(); });
}
BENCHMARK(BM_OpenTab)->Unit(benchmark::kMillisecond)->Iterations(50);

void BM_SwitchRing(benchmark::State &state)
{
    Tab tab;
    tab.open();
    measureRounds(state, [&](int round) { tab.view->model().selectRing(tab.ring(round % 100).id); });
}
BENCHMARK(BM_SwitchRing)->Unit(benchmark::kMillisecond)->Iterations(200);

void BM_SelectItem(benchmark::State &state)
{
    Tab tab;
    tab.open();
    tab.view->model().selectRing(tab.ring(50).id);
    measureRounds(state, [&](int round) { tab.view->model().selectItem(tab.ring(50).items.at(round % 24).id); });
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
    measureRounds(state, [&](int) { QTest::keyClick(title, Qt::Key_A); });
    if (!tab.ring(50).items.at(0).title.endsWith(QStringLiteral("aaa")))
        state.SkipWithError("the keystrokes did not reach the store");
}
BENCHMARK(BM_EditorKeystroke)->Unit(benchmark::kMillisecond)->Iterations(300);

} // namespace

int main(int argc, char **argv)
{
    return runQtBenchmarks<QApplication>(argc, argv);
}
