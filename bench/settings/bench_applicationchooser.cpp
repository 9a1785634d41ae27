// The application chooser over 10,000 desktop entries (most naming an icon
// the theme doesn't have): opening it with a catalog not yet read, until the
// list is filled and painted; one filter keystroke with its layout and paint;
// and opening it with one entry whose icon is a 54 MB SVG of 1,000,000 shapes.
// Counters in milliseconds: wall time, and the longest the GUI thread was
// busy at a stretch (a stall); rss_growth_mb is the peak resident growth.
// Run with QT_QPA_PLATFORM=offscreen.
#include "PeakMemory.h"
#include "QtBenchmarkMain.h"

#include "platform/x11/DesktopAppIconSource.h"
#include "platform/x11/XdgApplicationCatalog.h"
#include "settings/items/ApplicationChooser.h"
#include "ui/AppIconCache.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>

using namespace vima;

namespace {

constexpr int entryCount = 10'000;

void writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
}

const QTemporaryDir &manyEntries()
{
    static const QTemporaryDir dir = [] {
        QTemporaryDir made;
        for (int i = 0; i < entryCount; ++i) {
            const QByteArray icon = i % 10 ? "app-icon-" + QByteArray::number(i) : "utilities-terminal";
            writeFile(made.filePath(QStringLiteral("applications/org.example.App%1.desktop").arg(i)),
                      "[Desktop Entry]\nType=Application\nName=Application " + QByteArray::number(i)
                          + "\nExec=app --new-window %U\nIcon=" + icon + "\n");
        }
        return made;
    }();
    return dir;
}

// One entry, listed first, whose icon is a 54 MB SVG.
const QTemporaryDir &hugeIconEntry()
{
    static const QTemporaryDir dir = [] {
        QTemporaryDir made;
        const QString svg = made.filePath(QStringLiteral("huge.svg"));
        QFile file(svg);
        if (file.open(QIODevice::WriteOnly)) {
            file.write("<svg xmlns='http://www.w3.org/2000/svg' width='1000' height='1000'>\n");
            for (int i = 0; i < 1'000'000; ++i)
                file.write(QStringLiteral("<rect x='%1' y='%2' width='1' height='1' fill='#123'/>\n")
                               .arg(i % 1000).arg(i / 1000).toLatin1());
            file.write("</svg>\n");
        }
        writeFile(made.filePath(QStringLiteral("applications/aaa.desktop")),
                  "[Desktop Entry]\nType=Application\nName=AAA Huge Icon\nExec=aaa\nIcon=" + svg.toUtf8() + "\n");
        return made;
    }();
    return dir;
}

// Runs the event loop for `ms` and returns the longest single pass.
double longestPass(int ms, const std::function<bool()> &done = {})
{
    double longest = 0;
    QElapsedTimer total;
    total.start();
    while (total.elapsed() < ms && !(done && done())) {
        QElapsedTimer pass;
        pass.start();
        QApplication::processEvents();
        longest = std::max(longest, pass.nsecsElapsed() / 1e6);
    }
    return longest;
}

// Opens a chooser over `dataDirs` with a catalog and icons not read yet;
// counts the time until the list is filled and the longest stall on the way
// and in the second after, while icons arrive.
void openChooser(benchmark::State &state, const QStringList &dataDirs)
{
    double wall = 0;
    double stall = 0;
    const long before = peakResidentKB();
    for (auto _ : state) {
        auto catalog = std::make_shared<XdgApplicationCatalog>(dataDirs, QStringLiteral("C"));
        const DesktopAppIconSource source(*catalog);
        const AppIconCache icons(&source);
        QElapsedTimer timer;
        timer.start();
        ApplicationChooser chooser(catalog, &icons);
        chooser.show();
        stall = std::max(stall, longestPass(60'000, [&] { return chooser.model().isLoaded(); }));
        stall = std::max(stall, longestPass(0));
        wall = std::max(wall, timer.nsecsElapsed() / 1e6);
        stall = std::max(stall, longestPass(1000));
    }
    state.counters["fill_ms"] = wall;
    state.counters["stall_ms"] = stall;
    state.counters["rss_growth_mb"] = double(peakResidentKB() - before) / 1024;
}

void BM_OpenChooser(benchmark::State &state) { openChooser(state, {manyEntries().path()}); }
BENCHMARK(BM_OpenChooser)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_ChooserFilterKeystroke(benchmark::State &state)
{
    auto catalog = std::make_shared<XdgApplicationCatalog>(QStringList{manyEntries().path()}, QStringLiteral("C"));
    const DesktopAppIconSource source(*catalog);
    const AppIconCache icons(&source);
    ApplicationChooser chooser(catalog, &icons);
    chooser.show();
    longestPass(60'000, [&] { return chooser.model().isLoaded(); });
    longestPass(1000);
    auto *filter = chooser.findChild<QLineEdit *>();
    QList<double> samples;
    int round = 0;
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        // Typing and taking back one letter, so every round filters anew.
        QTest::keyClick(filter, round++ % 2 ? Qt::Key_Backspace : Qt::Key_1);
        QApplication::processEvents();
        samples << timer.nsecsElapsed() / 1e6;
    }
    std::sort(samples.begin(), samples.end());
    state.counters["median_ms"] = samples.at(samples.size() / 2);
    state.counters["max_ms"] = samples.constLast();
}
BENCHMARK(BM_ChooserFilterKeystroke)->Unit(benchmark::kMillisecond)->Iterations(20);

void BM_OpenChooserWithHugeIcon(benchmark::State &state)
{
    openChooser(state, {hugeIconEntry().path()});
}
BENCHMARK(BM_OpenChooserWithHugeIcon)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

int main(int argc, char **argv)
{
    return runQtBenchmarks<QApplication>(argc, argv);
}
