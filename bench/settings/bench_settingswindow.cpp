// The settings window over a configuration of 100 rings of 24 slots: the
// tray's Settings to the window's first painted frame (the first open builds
// the window and the page of the tab it opens on; later opens show it again),
// and one edit's publish-and-refresh with the General tab on screen (the store
// publishes, every watcher of every built tab refreshes, the event loop lays
// out and paints). Also a page of 100,000 items, and the same window over a
// configuration with one huge but legal text: the first open on each, and its
// quit (the agent's way out: the save that writes only a change, then the
// window's teardown).
// Counters: median and maximum in milliseconds.
#include "QtBenchmarkMain.h"

#include "SettingsBench.h"
#include "settings/SettingsWindow.h"
#include "settings/SettingsWindowController.h"

#include <QApplication>
#include <QElapsedTimer>
#include <algorithm>
#include <memory>
#include <optional>

using namespace vima;
using namespace vima::test;

namespace {

VimaConfig largeConfig()
{
    VimaConfig config;
    config.slotCount = 24;
    for (int r = 0; r < 100; ++r) {
        QList<RingItem> items;
        for (int s = 0; s < 24; ++s)
            items << shellItem(s, QStringLiteral("Item %1").arg(s));
        config.rings << ring(QStringLiteral("Ring %1").arg(r), items, r >= 80,
                             r >= 70 && r < 80 ? std::optional<QString>(QStringLiteral("app.%1").arg(r))
                                               : std::nullopt);
    }
    return config;
}

// One page of 100,000 items, one slot each: the Items tab opens on it.
VimaConfig hugePageConfig()
{
    VimaConfig config;
    QList<RingItem> items;
    items.reserve(100000);
    for (int s = 0; s < 100000; ++s)
        items << shellItem(s, QStringLiteral("Item %1").arg(s));
    config.rings << ring(QStringLiteral("Huge"), items);
    return config;
}

// Counts the paints of the window and every widget in it.
class PaintCounter final : public QObject {
public:
    PaintCounter() { qApp->installEventFilter(this); }
    ~PaintCounter() override { qApp->removeEventFilter(this); }

    QWidget *window = nullptr;
    int paints = 0;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && watched->isWidgetType() &&
            static_cast<QWidget *>(watched)->window() == window)
            ++paints;
        return false;
    }
};

// Runs the event loop until the window has painted again, then lets the
// rest of that frame's paints run.
void untilPainted(QWidget *window, PaintCounter &counter)
{
    counter.window = window;
    const int before = counter.paints;
    while (counter.paints == before)
        QApplication::processEvents(QEventLoop::AllEvents);
    QApplication::processEvents();
}

// The window over the large configuration, shown on the General tab and painted.
struct ShownWindow {
    SettingsHarness harness;
    // Built once the store is open.
    std::optional<SettingsWindowController> controller;
    PaintCounter counter;

    ShownWindow()
    {
        harness.fixture.open(largeConfig());
        controller.emplace(harness.context());
        controller->show(SettingsTab::general);
        untilPainted(controller->window(), counter);
    }
};

// `tab` none: the tab the window opens on by itself, as the tray's Settings… asks.
void BM_SettingsFirstOpen(benchmark::State &state, std::optional<SettingsTab> tab)
{
    SettingsHarness harness;
    harness.fixture.open(largeConfig());
    QList<double> samples;
    QElapsedTimer timer;
    for (auto _ : state) {
        SettingsWindowController controller(harness.context());
        PaintCounter counter;
        timer.start();
        controller.show(tab);
        untilPainted(controller.window(), counter);
        samples << timer.nsecsElapsed() / 1e6;
    }
    reportMilliseconds(state, samples);
}
BENCHMARK_CAPTURE(BM_SettingsFirstOpen, items, std::nullopt)->Unit(benchmark::kMillisecond)->Iterations(30);
BENCHMARK_CAPTURE(BM_SettingsFirstOpen, general, SettingsTab::general)->Unit(benchmark::kMillisecond)->Iterations(30);

// One letter and a million combining marks: one character of 2 MB.
VimaConfig hugeTitle()
{
    VimaConfig config = sampleConfig();
    config.rings[0].items[0].title = u'a' + QString(1'000'000, QChar(0x0301));
    return config;
}

// A pack named with `count` emoji, opened by the slot selected first.
VimaConfig emojiPack(qsizetype count)
{
    VimaConfig config = sampleConfig();
    config.rings[1].name = QStringLiteral("😀").repeated(count);
    std::swap(config.rings[0].items[0].slot, config.rings[0].items[1].slot);
    config.rings[0].items.swapItemsAt(0, 1);
    return config;
}

VimaConfig emojiPack100k() { return emojiPack(100'000); }
VimaConfig emojiPack1M() { return emojiPack(1'000'000); }

// The tray's Settings to the first painted frame (as above), then the agent's
// way out with the window open: the last save (which writes only a change
// made here), the window and all it built gone. Counters: medians in milliseconds.
void BM_SettingsOpenAndQuit(benchmark::State &state, VimaConfig (*make)())
{
    SettingsHarness harness;
    harness.fixture.open(make());
    QList<double> opens, quits;
    QElapsedTimer timer;
    for (auto _ : state) {
        auto controller = std::make_unique<SettingsWindowController>(harness.context());
        PaintCounter counter;
        timer.start();
        controller->show();
        untilPainted(controller->window(), counter);
        opens << timer.nsecsElapsed() / 1e6;
        timer.start();
        harness.store().saveBeforeQuit();
        controller.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        quits << timer.nsecsElapsed() / 1e6;
    }
    std::sort(opens.begin(), opens.end());
    std::sort(quits.begin(), quits.end());
    state.counters["open_ms"] = opens.at(opens.size() / 2);
    state.counters["quit_ms"] = quits.at(quits.size() / 2);
}
BENCHMARK_CAPTURE(BM_SettingsOpenAndQuit, page_of_100000_items, hugePageConfig)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK_CAPTURE(BM_SettingsOpenAndQuit, combining_title, hugeTitle)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK_CAPTURE(BM_SettingsOpenAndQuit, emoji_pack_100k, emojiPack100k)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK_CAPTURE(BM_SettingsOpenAndQuit, emoji_pack_1M, emojiPack1M)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_SettingsLaterOpen(benchmark::State &state)
{
    ShownWindow shown;
    auto &controller = *shown.controller;
    auto &counter = shown.counter;
    QList<double> samples;
    QElapsedTimer timer;
    for (auto _ : state) {
        controller.window()->close();
        QApplication::processEvents();
        timer.start();
        controller.show();
        untilPainted(controller.window(), counter);
        samples << timer.nsecsElapsed() / 1e6;
    }
    reportMilliseconds(state, samples);
}
BENCHMARK(BM_SettingsLaterOpen)->Unit(benchmark::kMillisecond)->Iterations(100);

void BM_EditPublishAndRefresh(benchmark::State &state)
{
    ShownWindow shown;
    auto &counter = shown.counter;
    QList<double> samples;
    QElapsedTimer timer;
    int step = 0;
    const int paintsBefore = counter.paints;
    for (auto _ : state) {
        // A real change each time, to a slider on screen.
        const double delay = 0.15 + (++step % 40) * 0.01;
        timer.start();
        shown.harness.store().edit([delay](VimaConfig &config) { config.pointerTrigger.holdDelay = delay; });
        QApplication::processEvents();
        samples << timer.nsecsElapsed() / 1e6;
    }
    if (counter.paints - paintsBefore < state.iterations())
        state.SkipWithError("the edits were not painted");
    reportMilliseconds(state, samples);
}
BENCHMARK(BM_EditPublishAndRefresh)->Unit(benchmark::kMillisecond)->Iterations(300);

} // namespace

int main(int argc, char **argv)
{
    return runQtBenchmarks<QApplication>(argc, argv);
}
