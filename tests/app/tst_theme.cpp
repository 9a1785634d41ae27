#include "app/Theme.h"
#include "settings/kit/SettingsLooks.h"
#include "ui/Palette.h"

#include <QPushButton>
#include <QTest>

using namespace vima;

class TestTheme : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void everyTextToneReads_data()
    {
        QTest::addColumn<AppTheme>("theme");
        QTest::newRow("auto") << AppTheme::system;
        QTest::newRow("light") << AppTheme::light;
        QTest::newRow("dark") << AppTheme::dark;
    }

    void everyTextToneReads()
    {
        QFETCH(AppTheme, theme);
        applyTheme(AppTheme::dark); // switched from another theme, as a user does
        applyTheme(AppTheme::light);
        applyTheme(theme);
        QList<std::pair<const char *, QColor>> texts{{"link", Palette::link()}};
        for (const Tone tone : {Tone::label, Tone::secondary, Tone::tertiary, Tone::warning, Tone::success, Tone::danger})
            texts.append({"tone", toneColor(tone)});
        for (const auto &[name, text] : texts)
            for (const QColor &background : Palette::textBackgrounds())
                QVERIFY2(Palette::contrast(text, background) >= Palette::minimumTextContrast,
                         qPrintable(QStringLiteral("%1 %2 on %3: %4:1")
                                        .arg(QLatin1String(name), text.name(QColor::HexArgb), background.name())
                                        .arg(Palette::contrast(text, background), 0, 'f', 2)));
        QVERIFY(Palette::contrast(Palette::onInk(), Palette::adaptiveGrey()) >= Palette::minimumTextContrast);
        // The hierarchy survives the adjustment.
        QVERIFY(Palette::contrast(Palette::label(), Palette::windowBackground())
                > Palette::contrast(Palette::tertiaryLabel(), Palette::windowBackground()));
    }

    void widgetsFollowALiveSwitch()
    {
        QWidget window;
        auto *help = new ToneLabel(Tone::secondary, QStringLiteral("Help"), &window);
        QPushButton *link = linkButton(QStringLiteral("Reveal"));
        QPushButton *done = inkButton(QStringLiteral("Done"));
        link->setParent(&window);
        done->setParent(&window);
        window.show();
        for (const AppTheme theme : {AppTheme::light, AppTheme::dark, AppTheme::light, AppTheme::dark}) {
            applyTheme(theme);
            QCoreApplication::processEvents(); // Qt tells the window later
            QCOMPARE(help->palette().color(QPalette::WindowText), Palette::secondaryLabel());
            QCOMPARE(link->palette().color(QPalette::ButtonText), Palette::link());
            QCOMPARE(done->palette().color(QPalette::Active, QPalette::Button), Palette::adaptiveGrey());
            // Everything it does not set comes from the theme in use.
            QCOMPARE(help->palette().color(QPalette::Window), Palette::windowBackground());
        }
        done->setEnabled(false);
        QVERIFY(done->palette().color(QPalette::Disabled, QPalette::Button) != Palette::adaptiveGrey());
        QVERIFY(done->palette().color(QPalette::Disabled, QPalette::ButtonText) != Palette::onInk());
    }
};

QTEST_MAIN(TestTheme)
#include "tst_theme.moc"
