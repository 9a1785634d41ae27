// The desktop-entry catalog over a data dir the size of a full desktop's
// (400 entries, a tenth of them in a vendor subfolder), the window it names,
// the Exec splitter, and what an icon file made to explode costs to load.
#include "PeakMemory.h"
#include "../../tests/support/Gzip.h"
#include "platform/x11/DesktopAppIconSource.h"
#include "platform/x11/DesktopExec.h"
#include "platform/x11/XdgApplicationCatalog.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

using namespace vima;

namespace {

constexpr int entryCount = 400;

const QTemporaryDir &dataDir()
{
    static const QTemporaryDir dir = [] {
        QTemporaryDir made;
        QDir().mkpath(made.filePath("applications/vendor"));
        for (int i = 0; i < entryCount; ++i) {
            const QString relative = (i % 10 == 0 ? "applications/vendor/app%1.desktop" : "applications/org.example.App%1.desktop");
            QFile file(made.filePath(relative.arg(i)));
            file.open(QIODevice::WriteOnly);
            file.write(QStringLiteral("[Desktop Entry]\nType=Application\nName=Application %1\nName[de]=Anwendung %1\n"
                                      "Comment=Does things\nExec=app%1 --new-window %U\nIcon=app%1\n"
                                      "Categories=Utility;Development;\n\n[Desktop Action new]\nName=New\nExec=app%1 --new\n")
                           .arg(i).toUtf8());
        }
        return made;
    }();
    return dir;
}

// A catalog reads its list once: the first call, by a new catalog each round.
void catalogAll(benchmark::State &state)
{
    for (auto _ : state) {
        const XdgApplicationCatalog catalog({dataDir().path()}, "de_DE.UTF-8");
        benchmark::DoNotOptimize(catalog.all());
    }
    state.SetItemsProcessed(state.iterations() * entryCount);
}
BENCHMARK(catalogAll)->Unit(benchmark::kMillisecond);

// Every later call while no folder changes.
void catalogAllAgain(benchmark::State &state)
{
    const XdgApplicationCatalog catalog({dataDir().path()}, "de_DE.UTF-8");
    catalog.all();
    for (auto _ : state)
        benchmark::DoNotOptimize(catalog.all());
}
BENCHMARK(catalogAllAgain)->Unit(benchmark::kMicrosecond);

void catalogFind(benchmark::State &state)
{
    const XdgApplicationCatalog catalog({dataDir().path()}, "de_DE.UTF-8");
    for (auto _ : state)
        benchmark::DoNotOptimize(catalog.find("org.example.App399"));
}
BENCHMARK(catalogFind)->Unit(benchmark::kMicrosecond);

// A window no entry names, the longest search: the listed entries, then the
// unlisted ones. Asked at every change of the active window.
void catalogWindowNoEntryNames(benchmark::State &state)
{
    const XdgApplicationCatalog catalog({dataDir().path()}, "de_DE.UTF-8");
    catalog.all();
    for (auto _ : state)
        benchmark::DoNotOptimize(catalog.findByWindow("org.example.Unknown", "unknown", "Unknown"));
}
BENCHMARK(catalogWindowNoEntryNames)->Unit(benchmark::kMicrosecond);

void execSplit(benchmark::State &state)
{
    const DesktopExec::Fields fields{{QUrl::fromLocalFile("/home/me/a file.txt")}, "icon", "Name", "/x.desktop"};
    for (auto _ : state)
        benchmark::DoNotOptimize(DesktopExec::split("\"/opt/My App/bin/app\" --name=%c %i --open %F", fields));
}
BENCHMARK(execSplit);

// A .svgz of 0.9 MB that inflates to 900 MB of SVG.
QByteArray svgzBomb()
{
    return gzip("<svg xmlns='http://www.w3.org/2000/svg' width='16' height='16'><!--", QByteArray(1 << 20, ' '), 900,
                "--><rect width='16' height='16' fill='green'/></svg>");
}

// Peak memory of loading it; run alone (--benchmark_filter=svgzIcon), as the
// peak is the process's.
void svgzIcon(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bomb.svgz"));
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(svgzBomb());
    file.close();
    const long before = peakResidentKB();
    for (auto _ : state)
        benchmark::DoNotOptimize(DesktopAppIconSource::load(path));
    state.counters["file_kb"] = double(QFileInfo(path).size()) / 1024;
    state.counters["peak_growth_mb"] = double(peakResidentKB() - before) / 1024;
}
BENCHMARK(svgzIcon)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

BENCHMARK_MAIN();
