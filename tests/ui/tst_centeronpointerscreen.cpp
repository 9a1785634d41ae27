#include "ui/CenterOnPointerScreen.h"

#include <QApplication>
#include <QFile>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>

using namespace vima;

namespace {

// Two screens side by side, the second larger and further down.
const QRect first(0, 0, 1000, 800);
const QRect second(1000, 200, 1600, 1000);

QByteArray screensConfig()
{
    const auto screen = [](const char *name, const QRect &r) {
        return QStringLiteral(R"({"name": "%1", "x": %2, "y": %3, "width": %4, "height": %5, "logicalDpi": 96, "dpr": 1})")
            .arg(QLatin1String(name))
            .arg(r.x())
            .arg(r.y())
            .arg(r.width())
            .arg(r.height());
    };
    return QStringLiteral(R"({"screens": [%1, %2]})").arg(screen("first", first), screen("second", second)).toUtf8();
}

} // namespace

class TestCenterOnPointerScreen : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QCOMPARE(QGuiApplication::screens().size(), 2); }

    void centresOnTheScreenUnderThePointer_data()
    {
        QTest::addColumn<QPoint>("pointer");
        QTest::addColumn<QRect>("screen");
        QTest::newRow("first") << QPoint(10, 10) << first;
        QTest::newRow("second") << QPoint(2000, 900) << second;
        QTest::newRow("second's left edge") << QPoint(1000, 300) << second;
        QTest::newRow("below the first, beside the second") << QPoint(500, 1100) << first;
        QTest::newRow("left of every screen") << QPoint(-400, 100) << first;
    }

    void centresOnTheScreenUnderThePointer()
    {
        QFETCH(QPoint, pointer);
        QFETCH(QRect, screen);
        QWidget window;
        window.setFixedSize(720, 560);
        centerOnPointerScreen(&window, pointer);
        QCOMPARE(window.geometry().center(), screen.center());
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
