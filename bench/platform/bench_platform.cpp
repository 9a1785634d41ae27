// The desktop-entry catalog over a data dir the size of a full desktop's
// (400 entries, a tenth of them in a vendor subfolder), the Exec splitter, and
// what an icon file made to explode costs to load.
#include "platform/x11/DesktopAppIconSource.h"
#include "platform/x11/DesktopExec.h"
#include "platform/x11/XdgApplicationCatalog.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <zlib.h>

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

void execSplit(benchmark::State &state)
{
    const DesktopExec::Fields fields{{QUrl::fromLocalFile("/home/me/a file.txt")}, "icon", "Name", "/x.desktop"};
    for (auto _ : state)
        benchmark::DoNotOptimize(DesktopExec::split("\"/opt/My App/bin/app\" --name=%c %i --open %F", fields));
}
BENCHMARK(execSplit);

long peakResidentKB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    }
    return 0;
}

// A .svgz of 0.9 MB that inflates to 900 MB of SVG.
QByteArray svgzBomb()
{
    z_stream stream{};
    deflateInit2(&stream, Z_BEST_COMPRESSION, Z_DEFLATED, 31, 9, Z_RLE);
    QByteArray out;
    const auto feed = [&](QByteArray in, int flush) {
        stream.next_in = reinterpret_cast<Bytef *>(in.data());
        stream.avail_in = uInt(in.size());
        do {
            char buffer[65536];
            stream.next_out = reinterpret_cast<Bytef *>(buffer);
            stream.avail_out = sizeof buffer;
            deflate(&stream, flush);
            out.append(buffer, qsizetype(sizeof buffer - stream.avail_out));
        } while (stream.avail_out == 0);
    };
    feed("<svg xmlns='http://www.w3.org/2000/svg' width='16' height='16'><!--", Z_NO_FLUSH);
    const QByteArray spaces(1 << 20, ' ');
    for (int i = 0; i < 900; ++i)
        feed(spaces, Z_NO_FLUSH);
    feed("--><rect width='16' height='16' fill='green'/></svg>", Z_FINISH);
    deflateEnd(&stream);
    return out;
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
