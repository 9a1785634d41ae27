#include "platform/fake/FakeAppIconSource.h"
#include "platform/x11/DesktopAppIconSource.h"
#include "ui/AppIconCache.h"
#include "ui/IconView.h"
#include "ui/SymbolCatalog.h"

#include "../support/BoundedChild.h"

#include <QFile>
#include <QGuiApplication>
#include <QPainter>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QSignalSpy>
#include <QTest>
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

    // What an Icon= value leads to is loaded only when it is a regular file
    // small enough to be an icon; nothing else is waited on or held.
    void desktopEntryIconFiles_data()
    {
        QTest::addColumn<QString>("value"); // "@" stands for the test's folder
        QTest::addColumn<bool>("loads");
        QTest::newRow("png file") << "@/app.png" << true;
        QTest::newRow("svg file") << "@/app.svg" << true;
        QTest::newRow("missing file") << "@/gone.png" << false;
        QTest::newRow("folder") << "@" << false;
        QTest::newRow("blank") << "  " << false;
        QTest::newRow("unknown theme name") << "no-such-theme-icon-anywhere" << false;
        QTest::newRow("oversize svg") << "@/huge.svg" << false;
        QTest::newRow("named pipe") << "@/pipe.png" << false;
        QTest::newRow("link to /dev/zero") << "@/zero.svg" << false;
    }
    void desktopEntryIconFiles()
    {
        QFETCH(QString, value);
        QFETCH(bool, loads);
        QTemporaryDir dir;
        QPixmap pixmap(16, 16);
        pixmap.fill(Qt::green);
        QVERIFY(pixmap.save(dir.filePath(QStringLiteral("app.png"))));
        const QByteArray svg = "<svg xmlns='http://www.w3.org/2000/svg' width='16' height='16'>"
                               "<rect width='16' height='16' fill='green'/>";
        QFile small(dir.filePath(QStringLiteral("app.svg")));
        QVERIFY(small.open(QIODevice::WriteOnly) && small.write(svg + "</svg>") > 0);
        small.close();
        // Many shapes: what a file past the ceiling would cost to draw.
        QFile huge(dir.filePath(QStringLiteral("huge.svg")));
        QVERIFY(huge.open(QIODevice::WriteOnly) && huge.write(svg) > 0);
        const QByteArray shape = "<rect x='1' y='1' width='2' height='2' fill='red'/>\n";
        while (huge.size() <= DesktopAppIconSource::maxFileSize)
            huge.write(shape.repeated(1000));
        huge.write("</svg>");
        huge.close();
        QCOMPARE(::mkfifo(QFile::encodeName(dir.filePath(QStringLiteral("pipe.png"))).constData(), 0600), 0);
        QVERIFY(QFile::link(QStringLiteral("/dev/zero"), dir.filePath(QStringLiteral("zero.svg"))));

        const QString file = DesktopAppIconSource::iconFile(QString(value).replace(u'@', dir.path()));
        const QString failure = test::inBoundedChild([&] {
            const QImage image = DesktopAppIconSource::load(file);
            return image.isNull() != loads && (image.isNull() || image.width() <= DesktopAppIconSource::side);
        });
        QVERIFY2(failure.isEmpty(), qPrintable(failure));
    }
};

QTEST_MAIN(TestIconView)
#include "tst_iconview.moc"
