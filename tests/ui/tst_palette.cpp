#include "ui/Palette.h"

#include <QTest>

using namespace vima;

namespace {

QPalette themed(QColor window, QColor text)
{
    QPalette palette;
    palette.setColor(QPalette::Window, window);
    palette.setColor(QPalette::WindowText, text);
    palette.setColor(QPalette::Base, window.lighter(110));
    return palette;
}

const QPalette light = themed(QColor(0xEF, 0xEF, 0xEF), Qt::black);
const QPalette dark = themed(QColor(0x2B, 0x2B, 0x2B), Qt::white);

} // namespace

class TestPalette : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void adaptiveGreyFollowsTheTheme()
    {
        QVERIFY(Palette::isDark(dark));
        QVERIFY(!Palette::isDark(light));
        QCOMPARE(Palette::adaptiveGrey(dark), QColor::fromRgbF(0.92f, 0.92f, 0.92f));
        QCOMPARE(Palette::adaptiveGrey(light), QColor::fromRgbF(0.13f, 0.13f, 0.13f));
    }

    void coloursFollowTheSystemPalette()
    {
        using Colour = QColor (*)(const QPalette &);
        const QList<Colour> colours{&Palette::windowBackground, &Palette::underPageBackground,
                                    &Palette::controlBackground, &Palette::selectedContentBackground,
                                    &Palette::label, &Palette::secondaryLabel, &Palette::tertiaryLabel,
                                    &Palette::separator, &Palette::grid, &Palette::controlBoundary,
                                    &Palette::red, &Palette::orange, &Palette::green};
        for (const Colour colour : colours)
            QVERIFY(colour(light) != colour(dark));
        QVERIFY(Palette::label(dark).lightness() > Palette::label(light).lightness());
        QVERIFY(Palette::secondaryLabel(light).alpha() < Palette::label(light).alpha());
        QVERIFY(Palette::tertiaryLabel(light).alpha() < Palette::secondaryLabel(light).alpha());
    }

    void contrastIsTheWcagRatio()
    {
        QCOMPARE(Palette::contrast(Qt::black, Qt::white), 21.0);
        QCOMPARE(Palette::contrast(Qt::white, Qt::white), 1.0);
        QCOMPARE(qRound(Palette::contrast(QColor(0x76, 0x76, 0x76), Qt::white) * 100), 454); // the classic 4.5 grey
        QColor halfBlack(Qt::black);
        halfBlack.setAlphaF(0.5f);
        // Laid over it: half black on white reads as mid grey.
        QVERIFY(qAbs(Palette::contrast(halfBlack, Qt::white) - Palette::contrast(QColor(128, 128, 128), Qt::white)) < 0.05);
    }

    void readableMovesOnlyWhatDoesNotRead()
    {
        for (const QPalette &system : {light, dark}) {
            const QColor blue(0x0a, 0x0a, 0x60);
            const QColor moved = Palette::readable(blue, system);
            for (const QColor &background : Palette::textBackgrounds(system))
                QVERIFY(Palette::contrast(moved, background) >= Palette::minimumTextContrast);
            QCOMPARE(moved == blue, !Palette::isDark(system)); // dark blue reads on light, not on dark
        }
    }

    void readsTheApplicationPaletteEachTime()
    {
        QGuiApplication::setPalette(dark);
        QVERIFY(Palette::isDark());
        QCOMPARE(Palette::windowBackground(), dark.color(QPalette::Window));
        QGuiApplication::setPalette(light);
        QVERIFY(!Palette::isDark());
        QCOMPARE(Palette::windowBackground(), light.color(QPalette::Window));
    }
};

QTEST_MAIN(TestPalette)
#include "tst_palette.moc"
