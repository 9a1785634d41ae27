#include "ui/CenterOnPointerScreen.h"
#include "ui/PlaceNearPointer.h"

#include <QApplication>
#include <QFile>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>

using namespace vima;

namespace {

// Three screens side by side, the second larger and further down, the third
// at twice the scale: 1600 x 1000 pixels, 800 x 500 points.
const QRect first(0, 0, 1000, 800);
const QRect second(1000, 200, 1600, 1000);
const QRect third(2600, 0, 1600, 1000);

QByteArray screensConfig()
{
    const auto screen = [](const char *name, const QRect &r, int dpi) {
        return QStringLiteral(R"({"name": "%1", "x": %2, "y": %3, "width": %4, "height": %5, "logicalDpi": %6})")
            .arg(QLatin1String(name))
            .arg(r.x())
            .arg(r.y())
            .arg(r.width())
            .arg(r.height())
            .arg(dpi);
    };
    return QStringLiteral(R"({"screens": [%1, %2, %3]})")
        .arg(screen("first", first, 96), screen("second", second, 96), screen("third", third, 192))
        .toUtf8();
}

} // namespace

class TestCenterOnPointerScreen : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        QCOMPARE(QGuiApplication::screens().size(), 3);
        QCOMPARE(QGuiApplication::screens().at(2)->geometry(), QRect(2600, 0, 800, 500));
    }

    void centresOnTheScreenUnderThePointer_data()
    {
        QTest::addColumn<QPoint>("pointer");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QPoint>("topLeft");
        const QSize usual(720, 560);
        QTest::newRow("first") << QPoint(10, 10) << usual << QPoint(140, 120);
        QTest::newRow("second") << QPoint(2000, 900) << usual << QPoint(1440, 420);
        QTest::newRow("second's left edge") << QPoint(1000, 300) << usual << QPoint(1440, 420);
        QTest::newRow("below the first, beside the second") << QPoint(500, 1100) << usual << QPoint(140, 120);
        QTest::newRow("left of every screen") << QPoint(-400, 100) << usual << QPoint(140, 120);
        QTest::newRow("2x screen") << QPoint(3300, 400) << QSize(400, 300) << QPoint(2800, 100);
        QTest::newRow("taller than the 2x screen: title bar on it") << QPoint(2700, 100) << usual << QPoint(2640, 0);
        QTest::newRow("larger than the first: its top-left corner") << QPoint(10, 10) << QSize(1200, 900) << QPoint(0, 0);
    }

    void centresOnTheScreenUnderThePointer()
    {
        QFETCH(QPoint, pointer);
        QFETCH(QSize, size);
        QFETCH(QPoint, topLeft);
        QWidget window;
        window.setFixedSize(size);
        centerOnPointerScreen(&window, pointer);
        QCOMPARE(window.pos(), topLeft);
    }

    // The panels near the pointer keep to the screen under it, in its points.
    void panelsKeepToThePointersScreen_data()
    {
        QTest::addColumn<QPoint>("pointer");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<int>("offset");
        QTest::addColumn<QPoint>("topLeft");
        QTest::newRow("result panel taller than the 2x screen")
            << QPoint(3380, 450) << QSize(460, 520) << 0 << QPoint(3400 - 460 - 12, 12);
        QTest::newRow("busy indicator at the 2x screen's left edge")
            << QPoint(2610, 100) << QSize(200, 40) << -40 << QPoint(2612, 164);
        QTest::newRow("result panel near the second's bottom goes above")
            << QPoint(2000, 1150) << QSize(460, 300) << 0 << QPoint(1770, 1150 - 24 - 300);
    }

    void panelsKeepToThePointersScreen()
    {
        QFETCH(QPoint, pointer);
        QFETCH(QSize, size);
        QFETCH(int, offset);
        QFETCH(QPoint, topLeft);
        QWidget panel;
        panel.setFixedSize(size);
        placeNearPointer(&panel, pointer, offset);
        QCOMPARE(panel.pos(), topLeft);
    }
};

int main(int argc, char *argv[])
{
    QTemporaryDir folder;
    QFile config(folder.filePath(QStringLiteral("screens.json")));
    if (!config.open(QIODevice::WriteOnly) || config.write(screensConfig()) < 0)
        return 1;
    config.close();
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + config.fileName().toLocal8Bit());
    QApplication application(argc, argv);
    TestCenterOnPointerScreen test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_centeronpointerscreen.moc"
