#include "platform/fake/FakeAppIconSource.h"
#include "platform/fake/FakeApplicationCatalog.h"
#include "platform/x11/DesktopAppIconSource.h"
#include "ui/AppIconCache.h"
#include "ui/IconView.h"
#include "ui/SymbolCatalog.h"

#include "../support/BoundedChild.h"
#include "../support/Gzip.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPainter>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QSignalSpy>
#include <QTest>
#include <QThread>
#include <atomic>
#include <sys/stat.h>

using namespace vima;

namespace {

QImage canvas(int side = 64)
{
    QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

// The bounding box of the pixels that are not fully transparent.
QRect inkBounds(const QImage &image)
{
    QRect bounds;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(image.pixel(x, y)) > 0)
                bounds |= QRect(x, y, 1, 1);
    return bounds;
}

QImage paintIcon(const IconSpec &icon, double size, QColor ink = Qt::black, const AppIconCache *appIcons = nullptr)
{
    QImage image = canvas();
    QPainter painter(&image);
    IconView{icon, size, appIcons}.paint(painter, QPointF(32, 32), ink);
    return image;
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

bool writePng(const QString &path, QColor colour)
{
    QDir().mkpath(QFileInfo(path).path());
    QImage image(16, 16, QImage::Format_ARGB32);
    image.fill(colour);
    return image.save(path);
}

QByteArray solidSvg(QColor colour)
{
    return "<svg xmlns='http://www.w3.org/2000/svg' width='16' height='16'><rect width='16' height='16' fill='"
        + colour.name().toLatin1() + "'/></svg>";
}

QByteArray themeIndex(const QByteArray &inherits, const QList<QByteArray> &directories)
{
    QByteArray index = "[Icon Theme]\nName=Test\nComment=Test\n";
    if (!inherits.isEmpty())
        index += "Inherits=" + inherits + "\n";
    QByteArray names;
    QByteArray sections;
    for (const QByteArray &directory : directories) {
        const QList<QByteArray> parts = directory.split(' '); // path, then its keys
        names += parts.first() + ",";
        sections += "\n[" + parts.first() + "]\n" + parts.mid(1).join('\n') + "\n";
    }
    return index + "Directories=" + names + "\n" + sections;
}

bool makeFifo(const QString &path)
{
    QDir().mkpath(QFileInfo(path).path());
    return ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0;
}

// A data dir of icon files and themes; the rows of desktopEntryIcons say
// what each is for.
bool writeIconTree(const QString &root)
{
    const QByteArray svgHead = "<svg xmlns='http://www.w3.org/2000/svg' width='16' height='16'>";
    const QByteArray shape = "<rect x='1' y='1' width='2' height='2' fill='red'/>\n";
    const auto shapes = [&](qint64 over) {
        QByteArray svg = svgHead;
        while (svg.size() <= over)
            svg += shape.repeated(1000);
        return svg + "</svg>";
    };
    const QString files = root + QStringLiteral("/files/");
    const QString icons = root + QStringLiteral("/icons/");
    const QByteArray scalable = "scalable/apps Size=128 MinSize=8 MaxSize=512 Type=Scalable";
    return writePng(files + "app.png", Qt::green) && writeFile(files + "app.svg", solidSvg(Qt::green))
        && writeFile(files + "app.svgz", gzip(solidSvg(Qt::green))) && writeFile(files + "huge.svg", shapes(DesktopAppIconSource::maxFileSize))
        && writeFile(files + "huge.svgz", gzip(shapes(2 * DesktopAppIconSource::maxFileSize)))
        && writeFile(files + "bomb.svgz", gzip(svgHead + "<!--", QByteArray(1 << 20, ' '), 300, "--></svg>"))
        && writeFile(files + "twice.svgz", gzip(gzip(solidSvg(Qt::green))))
        && writeFile(files + "pipe-image.svg",
                     "<svg xmlns='http://www.w3.org/2000/svg' xmlns:xlink='http://www.w3.org/1999/xlink' "
                     "width='16' height='16'><image width='16' height='16' xlink:href='"
                         + QFile::encodeName(files) + "pipe.png'/></svg>")
        && makeFifo(files + "pipe.png") && QFile::link(QStringLiteral("/dev/zero"), files + "zero.svg")
        && writeFile(icons + "hicolor/index.theme", themeIndex({}, {"48x48/apps Size=48", scalable}))
        && writePng(icons + "hicolor/48x48/apps/in-hicolor.png", Qt::green)
        && writeFile(icons + "hicolor/scalable/apps/in-both.svg", solidSvg(Qt::green))
        && writePng(icons + "hicolor/48x48/apps/piped.png", Qt::green)
        && writeFile(icons + "Tavelon/index.theme",
                     themeIndex("Tavelon-Loop",
                                {"16x16/apps Size=16 Type=Fixed", "64x64/apps Size=64 Type=Fixed",
                                 "64x64@2/apps Size=64 Scale=2 Type=Fixed", scalable}))
        && writePng(icons + "Tavelon/16x16/apps/sized.png", Qt::red)
        && writePng(icons + "Tavelon/64x64/apps/sized.png", Qt::blue)
        && writePng(icons + "Tavelon/64x64@2/apps/exact.png", Qt::red)
        && writeFile(icons + "Tavelon/scalable/apps/exact.svg", solidSvg(Qt::blue))
        && writePng(icons + "Tavelon/64x64/apps/in-both.png", Qt::blue)
        && makeFifo(icons + "Tavelon/64x64/apps/piped.png")
        && writeFile(icons + "Tavelon-Loop/index.theme", themeIndex("Tavelon", {"48x48/apps Size=48"}))
        && writePng(icons + "Tavelon-Loop/48x48/apps/looped.png", Qt::blue)
        && writePng(files + "escaped.png", Qt::red)
        && writeFile(icons + "Escaping/index.theme", themeIndex({}, {"../../files Size=16"}))
        && makeFifo(icons + "Piped/index.theme") && writePng(icons + "Piped/48x48/apps/in-hicolor.png", Qt::red)
        && writePng(root + "/pixmaps/in-pixmaps.png", Qt::red)
        && writeFile(root + "/pixmaps/urxvt_48x48.xpm",
                     "/* XPM */\nstatic char *icon[] = {\n\"4 4 1 1\",\n\". c #FF0000\",\n"
                     "\"....\",\n\"....\",\n\"....\",\n\"....\"};\n");
}

// Loads that take a while and count how many run at once.
class SlowAppIconSource final : public AppIconSource {
public:
    std::optional<Loader> loader(const QString &) const override
    {
        return [this] {
            const int now = ++running;
            for (int seen = most; now > seen && !most.compare_exchange_weak(seen, now);) {
            }
            QThread::msleep(20);
            --running;
            return QImage();
        };
    }

    mutable std::atomic_int running = 0;
    mutable std::atomic_int most = 0;
};

QIcon solidIcon(QColor colour)
{
    QPixmap pixmap(48, 48);
    pixmap.fill(colour);
    return QIcon(pixmap);
}

} // namespace

class TestIconView : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QVERIFY(writeIconTree(dataDir_)); }

    void everySymbolTheAppUsesIsBundled()
    {
        // Every dotted symbol name used by the library, the templates, the menus
        // and the ring itself must draw its own icon, not the fallback.
        const QStringList used{
            "sparkles", "chevron.backward", "chevron.right", "plus", "app", "link", "terminal", "scroll",
            "circle.grid.cross", "questionmark.square.dashed", "app.dashed", "pencil.line", "envelope", "book",
            "globe", "paintbrush.pointed", "chevron.left.forwardslash.chevron.right", "tablecells", "macwindow",
            "square.grid.3x3", "square.grid.2x2", "checkmark.circle", "wand.and.sparkles",
            "arrow.down.right.and.arrow.up.left", "text.line.first.and.arrowtriangle.forward", "plus.square",
            "macwindow.badge.plus", "eyeglasses", "arrow.uturn.left.square", "clock.arrow.circlepath",
            "arrow.down.circle", "bookmark", "arrow.clockwise", "magnifyingglass", "folder.badge.plus", "app.gift",
            "house", "info.circle", "character.bubble", "slider.horizontal.3", "textformat.size", "paperplane",
            "play.rectangle", "timer", "exclamationmark.triangle", "curlybraces", "lightbulb", "questionmark.circle",
            "circle.hexagongrid.circle", "doc.on.doc", "camera.viewfinder", "bolt", "star", "heart", "flag",
            "folder", "key", "ellipsis", "checkmark", "xmark.circle.fill", "exclamationmark.triangle.fill",
            "checkmark.circle.fill"};
        for (const QString &name : used) {
            QVERIFY2(SymbolCatalog::knows(name), qPrintable(name));
            QVERIFY2(QFile::exists(SymbolCatalog::resourcePath(name)), qPrintable(name));
        }
        for (const QString &name : SymbolCatalog::names())
            QVERIFY2(QFile::exists(SymbolCatalog::resourcePath(name)), qPrintable(name));
    }

    void unknownSymbolDrawsTheFallback()
    {
        QVERIFY(!SymbolCatalog::knows(QStringLiteral("no.such.symbol")));
        QCOMPARE(SymbolCatalog::resourcePath(QStringLiteral("no.such.symbol")), QString());
        const QImage unknown = SymbolCatalog::image(QStringLiteral("no.such.symbol"), 48, Qt::black,
                                                    SymbolCatalog::Weight::medium);
        const QImage fallback = SymbolCatalog::image(SymbolCatalog::unknownSymbol, 48, Qt::black,
                                                     SymbolCatalog::Weight::medium);
        QVERIFY(!inkBounds(fallback).isEmpty());
        QCOMPARE(unknown, fallback);
    }

    // Partly transparent inks are the secondary and tertiary label colours.
    void symbolsAreTinted_data()
    {
        QTest::addColumn<QColor>("ink");
        QTest::newRow("red") << QColor(255, 0, 0);
        QTest::newRow("white") << QColor(Qt::white);
        QTest::newRow("half red") << QColor(255, 0, 0, 128);
        QTest::newRow("quarter black") << QColor(0, 0, 0, 64);
    }

    void symbolsAreTinted()
    {
        QFETCH(QColor, ink);
        const QImage image = SymbolCatalog::image(QStringLiteral("plus"), 48, ink, SymbolCatalog::Weight::bold);
        const QColor middle = image.pixelColor(24, 24); // the cross's centre is fully inked
        QVERIFY2(std::abs(middle.alpha() - ink.alpha()) <= 2, qPrintable(QString::number(middle.alpha())));
        QVERIFY(std::abs(middle.red() - ink.red()) <= 3 && std::abs(middle.green() - ink.green()) <= 3 &&
                std::abs(middle.blue() - ink.blue()) <= 3);
    }

    void symbolKeepsInkAlpha()
    {
        const QImage half = paintIcon(IconSpec::symbol("plus"), 40, QColor(0, 0, 0, 128));
        QVERIFY(std::abs(qAlpha(half.pixel(32, 32)) - 128) <= 2);
    }

    void symbolSizeFollowsFontSize()
    {
        const QRect small = inkBounds(paintIcon(IconSpec::symbol("app"), 10));
        const QRect large = inkBounds(paintIcon(IconSpec::symbol("app"), 40));
        QVERIFY(large.width() > 3 * small.width());
        QVERIFY(std::abs(large.center().x() - 32) <= 1);
    }

    void emojiUsesTheColourFont()
    {
        const QImage image = paintIcon(IconSpec::emoji(QStringLiteral("🚀")), 32);
        const QRect bounds = inkBounds(image);
        QVERIFY(bounds.width() > 20);
        bool coloured = false;
        for (int y = bounds.top(); y <= bounds.bottom() && !coloured; ++y)
            for (int x = bounds.left(); x <= bounds.right() && !coloured; ++x) {
                const QColor c = image.pixelColor(x, y);
                coloured = c.alpha() == 255 && c.saturation() > 100;
            }
        QVERIFY2(coloured, "the emoji should come from a colour font");
    }

    // Loaded off the GUI thread: nothing is drawn until the icon is there.
    void appIconsAreCachedOnceFound()
    {
        FakeAppIconSource source;
        source.installed.insert(QStringLiteral("org.example.Found"), solidIcon(Qt::red));
        const AppIconCache cache(&source);
        const IconSpec icon = IconSpec::appIcon(QStringLiteral("org.example.Found"));

        QSignalSpy loaded(&cache, &AppIconCache::loaded);
        QCOMPARE(paintIcon(icon, 20, Qt::black, &cache), canvas());
        QVERIFY(loaded.wait());
        const QImage first = paintIcon(icon, 20, Qt::black, &cache);
        paintIcon(icon, 20, Qt::black, &cache);
        QCOMPARE(source.lookups, QStringList{QStringLiteral("org.example.Found")});
        QCOMPARE(inkBounds(first), QRect(19, 19, 26, 26)); // size + 6 points, centred
        QCOMPARE(first.pixelColor(32, 32), QColor(Qt::red));
    }

    // A miss is remembered (a list of thousands asks on every paint) until
    // the source says the installed applications have changed.
    void missingAppDrawsPlaceholderUntilTheSourceChanges()
    {
        FakeAppIconSource source;
        const AppIconCache cache(&source);
        const IconSpec icon = IconSpec::appIcon(QStringLiteral("org.example.Missing"));
        const QImage missing = paintIcon(icon, 20, Qt::black, &cache);
        QCOMPARE(missing, paintIcon(IconSpec::symbol(SymbolCatalog::missingApp), 20));
        source.installed.insert(QStringLiteral("org.example.Missing"), solidIcon(Qt::blue));
        QCOMPARE(paintIcon(icon, 20, Qt::black, &cache), missing);
        QCOMPARE(source.lookups.size(), 1);

        ++source.changes;
        QSignalSpy loaded(&cache, &AppIconCache::loaded);
        paintIcon(icon, 20, Qt::black, &cache);
        QVERIFY(loaded.wait());
        QCOMPARE(paintIcon(icon, 20, Qt::black, &cache).pixelColor(32, 32), QColor(Qt::blue));
        QCOMPARE(source.lookups.size(), 2);
    }

    // However many icons a list asks for, few decode at once.
    void iconLoadsTakeTurns()
    {
        SlowAppIconSource source;
        const AppIconCache cache(&source);
        QSignalSpy loaded(&cache, &AppIconCache::loaded);
        for (int i = 0; i < 12; ++i)
            cache.icon(QStringLiteral("org.example.App%1").arg(i));
        QTRY_COMPARE(loaded.count(), 12);
        QVERIFY2(source.most <= 2, qPrintable(QString::number(source.most)));
    }

    // What an Icon= value leads to, looked up as the desktop's icon theme rules
    // say in a data dir of the test's own, and loaded only when it is a regular
    // file whose image, inflated or not, is small enough to be an icon and
    // needs no other file: nothing else is waited on or held.
    void desktopEntryIcons_data()
    {
        QTest::addColumn<QString>("value"); // "@" stands for the data dir
        QTest::addColumn<QString>("theme");
        QTest::addColumn<QColor>("colour"); // invalid: no icon
        const QColor none;
        QTest::newRow("png file") << "@/files/app.png" << "" << QColor(Qt::green);
        QTest::newRow("svg file") << "@/files/app.svg" << "" << QColor(Qt::green);
        QTest::newRow("svgz file") << "@/files/app.svgz" << "" << QColor(Qt::green);
        QTest::newRow("missing file") << "@/files/gone.png" << "" << none;
        QTest::newRow("folder") << "@" << "" << none;
        QTest::newRow("blank") << "  " << "" << none;
        QTest::newRow("relative path") << "files/app.png" << "" << none;
        QTest::newRow("unknown theme name") << "no-such-theme-icon-anywhere" << "" << none;
        QTest::newRow("oversize svg") << "@/files/huge.svg" << "" << none;
        QTest::newRow("svgz over the svg ceiling") << "@/files/huge.svgz" << "" << none;
        QTest::newRow("svgz bomb") << "@/files/bomb.svgz" << "" << none;
        QTest::newRow("svgz twice compressed") << "@/files/twice.svgz" << "" << none;
        QTest::newRow("svg naming a pipe") << "@/files/pipe-image.svg" << "" << none;
        QTest::newRow("named pipe") << "@/files/pipe.png" << "" << none;
        QTest::newRow("link to /dev/zero") << "@/files/zero.svg" << "" << none;
        QTest::newRow("hicolor") << "in-hicolor" << "" << QColor(Qt::green);
        QTest::newRow("theme before hicolor") << "in-both" << "Tavelon" << QColor(Qt::blue);
        QTest::newRow("made for the size first") << "exact" << "Tavelon" << QColor(Qt::blue);
        QTest::newRow("else the closest size") << "sized" << "Tavelon" << QColor(Qt::blue);
        QTest::newRow("inherited theme") << "looped" << "Tavelon" << QColor(Qt::blue);
        QTest::newRow("inherits loop, then hicolor") << "in-hicolor" << "Tavelon" << QColor(Qt::green);
        QTest::newRow("pipe in the theme passed over") << "piped" << "Tavelon" << QColor(Qt::green);
        QTest::newRow("index.theme a pipe") << "in-hicolor" << "Piped" << QColor(Qt::green);
        QTest::newRow("theme folder outside the theme") << "escaped" << "Escaping" << none;
        QTest::newRow("unknown theme") << "in-hicolor" << "No-Such-Theme" << QColor(Qt::green);
        QTest::newRow("pixmaps only") << "in-pixmaps" << "Tavelon" << QColor(Qt::red);
        QTest::newRow("image suffix") << "urxvt_48x48.xpm" << "Tavelon" << QColor(Qt::red);
        QTest::newRow("themed, with suffix") << "in-hicolor.png" << "" << QColor(Qt::green);
    }
    void desktopEntryIcons()
    {
        QFETCH(QString, value);
        QFETCH(QString, theme);
        QFETCH(QColor, colour);
        const QString failure = test::inBoundedChild([&] {
            QIcon::setThemeName(theme);
            DesktopApp app;
            app.bundleID = QStringLiteral("app");
            app.icon = QString(value).replace(u'@', dataDir_);
            const FakeApplicationCatalog catalog({app});
            const DesktopAppIconSource source(catalog);
            const auto loader = source.loader(QStringLiteral("app"));
            const QImage image = loader ? (*loader)() : QImage();
            if (!colour.isValid())
                return image.isNull();
            return !image.isNull() && image.width() <= DesktopAppIconSource::side
                && image.pixelColor(image.width() / 2, image.height() / 2) == colour;
        });
        QVERIFY2(failure.isEmpty(), qPrintable(failure));
    }

public:
    explicit TestIconView(QString dataDir) : dataDir_(std::move(dataDir)) {}

private:
    const QString dataDir_;
};

// The data dirs are the test's own from the start: Qt reads them once.
int main(int argc, char **argv)
{
    const QTemporaryDir dataDir;
    qputenv("XDG_DATA_HOME", QFile::encodeName(dataDir.filePath(QStringLiteral("home"))));
    qputenv("XDG_DATA_DIRS", QFile::encodeName(dataDir.path()));
    QApplication app(argc, argv);
    app.setAttribute(Qt::AA_Use96Dpi, true);
    TestIconView test(dataDir.path());
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}
#include "tst_iconview.moc"
