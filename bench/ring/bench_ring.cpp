#include "async/FakeScheduler.h"
#include "platform/fake/FakeHapticFeedback.h"
#include "platform/fake/FakeSystemBeep.h"
#include "ring/RingView.h"
#include "ring/RingViewModel.h"

#include "QtBenchmarkMain.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QUuid>
#include <benchmark/benchmark.h>

using namespace vima;

namespace {

Ring fullRing(int slots)
{
    static const QStringList symbols{"sparkles", "doc.on.doc", "terminal", "folder", "link", "globe", "envelope",
                                     "book", "lightbulb", "paintbrush.pointed", "curlybraces", "tablecells"};
    Ring ring{QUuid::createUuid(), QStringLiteral("Everyday"), std::nullopt, false, slots, {}};
    for (int slot = 0; slot < slots; ++slot) {
        const IconSpec icon = slot % 6 == 5 ? IconSpec::emoji(QStringLiteral("🚀"))
                                            : IconSpec::symbol(symbols.at(slot % symbols.size()));
        ring.items.append(RingItem{QUuid::createUuid(), QStringLiteral("Action %1").arg(slot), icon, slot,
                                   ItemAction{ShellPayload{QStringLiteral("true"), QStringLiteral("/bin/sh"), false}}});
    }
    return ring;
}

// One whole frame of a 24-slot ring, one slot highlighted, at a 2x pixel
// ratio: the argument is the milliseconds since the ring was asked for (50:
// a frame of the appear animation, 2000: the ring at rest).
void paintFullFrame(benchmark::State &state)
{
    FakeHapticFeedback haptics;
    FakeSystemBeep beep;
    FakeScheduler scheduler;
    RingViewModel model(fullRing(24), 24, Appearance{}, haptics, beep, scheduler);
    model.setPages({model.currentRing(), fullRing(8)});
    RingView view(model, false, RingStyle{}, scheduler);
    const QSize size(900, 900);
    view.resize(size);
    model.setPresented(true);
    model.setKeyboardFocusSlot(5);
    scheduler.advance(double(state.range(0)) / 1000);

    QImage image(size * 2, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(2);
    for (auto _ : state) {
        // The canvas is cleared by the panel beneath, not by the ring.
        state.PauseTiming();
        image.fill(Qt::transparent);
        state.ResumeTiming();
        QPainter painter(&image);
        view.paint(painter);
        painter.end();
        benchmark::DoNotOptimize(image.constBits());
    }
}

} // namespace

BENCHMARK(paintFullFrame)->Arg(50)->Arg(2000)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    return vima::runQtBenchmarks<QApplication>(argc, argv);
}
