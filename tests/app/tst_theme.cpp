#include "SettingsHarness.h"
#include "app/Theme.h"
#include "ring/RingView.h"
#include "settings/ai/ProviderRow.h"
#include "settings/kit/RingPreviewView.h"
#include "settings/kit/SegmentedControl.h"
#include "settings/kit/SettingsLooks.h"
#include "ui/Palette.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPaintEngine>
#include <QPainter>
#include <QPainterPath>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QTest>
#include <QVBoxLayout>

using namespace vima;

namespace {

struct Fill {
    QList<QColor> colours; // a gradient's stops, an image's opaque pixels
    QRectF bounds;
};

// The colours an image shows where it covers what is under it; its soft edges blend.
QList<QColor> coloursOf(const QImage &image)
{
    QList<QColor> colours;
    const QImage pixels = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < pixels.height(); ++y)
        for (int x = 0; x < pixels.width(); ++x)
            if (const QColor colour = pixels.pixelColor(x, y); colour.alpha() == 255 && !colours.contains(colour))
                colours.append(colour);
    return colours;
}

// A gradient's stops, a texture's colours, or the one colour.
QList<QColor> coloursOf(const QBrush &brush)
{
    if (const QGradient *gradient = brush.gradient()) {
        QList<QColor> stops;
        for (const QGradientStop &stop : gradient->stops())
            stops.append(stop.second);
        return stops;
    }
    if (brush.style() == Qt::TexturePattern)
        return coloursOf(brush.textureImage());
    return {brush.color()};
}

// Takes what a widget draws but its text: the colours of every line, the edges
// of a control as its style paints them, and every fill, image and pixmap.
class PaintRecorder final : public QPaintDevice {
public:
    explicit PaintRecorder(QWidget &widget) : size_(widget.size())
    {
        QPainter painter(this);
        widget.render(&painter, {}, {}, QWidget::DrawChildren);
    }
    QPaintEngine *paintEngine() const override { return &engine_; }
    const QList<QList<QColor>> &lines() const { return engine_.lines; }
    const QList<Fill> &fills() const { return engine_.fills; }

protected:
    int metric(PaintDeviceMetric metric) const override
    {
        switch (metric) {
        case PdmWidth: return size_.width();
        case PdmHeight: return size_.height();
        case PdmDepth: return 32;
        case PdmDpiX:
        case PdmDpiY:
        case PdmPhysicalDpiX:
        case PdmPhysicalDpiY: return 96;
        case PdmDevicePixelRatio: return 1;
        case PdmDevicePixelRatioScaled: return int(devicePixelRatioFScale());
        default: return QPaintDevice::metric(metric);
        }
    }

private:
    class Engine final : public QPaintEngine {
    public:
        Engine() : QPaintEngine(AllFeatures) {}
        bool begin(QPaintDevice *) override { return true; }
        bool end() override { return true; }
        Type type() const override { return User; }
        void updateState(const QPaintEngineState &state) override
        {
            if (state.state() & DirtyPen)
                pen_ = state.pen();
            if (state.state() & DirtyBrush)
                brush_ = state.brush();
            if (state.state() & DirtyTransform)
                transform_ = state.transform();
        }
        void drawPath(const QPainterPath &path) override { take(path.boundingRect()); }
        void drawPolygon(const QPointF *, int, PolygonDrawMode) override { take({}); }
        void drawRects(const QRectF *rects, int count) override { take(count == 1 ? rects[0] : QRectF()); }
        void drawLines(const QLineF *, int) override { take({}); }
        void drawEllipse(const QRectF &bounds) override { take(bounds); }
        void drawTextItem(const QPointF &, const QTextItem &) override {}
        void drawPixmap(const QRectF &bounds, const QPixmap &pixmap, const QRectF &source) override
        {
            drawImage(bounds, pixmap.toImage(), source, {});
        }
        void drawImage(const QRectF &bounds, const QImage &image, const QRectF &source,
                       Qt::ImageConversionFlags) override
        {
            fills.append({coloursOf(image.copy(source.toAlignedRect())), transform_.mapRect(bounds)});
        }

        QList<QList<QColor>> lines;
        QList<Fill> fills;

    private:
        void take(const QRectF &bounds)
        {
            if (pen_.style() != Qt::NoPen)
                lines.append(coloursOf(pen_.brush()));
            if (brush_.style() != Qt::NoBrush && !bounds.isEmpty())
                fills.append({coloursOf(brush_), transform_.mapRect(bounds)});
        }
        QPen pen_;
        QBrush brush_;
        QTransform transform_;
    };

    QSize size_;
    mutable Engine engine_;
};

// The weakest contrast between any colour of `ink` and any of `grounds`; nothing drawn has none.
double weakestContrast(const QList<QColor> &ink, const QList<QColor> &grounds = Palette::textBackgrounds())
{
    double weakest = ink.isEmpty() || grounds.isEmpty() ? 1 : 21;
    for (const QColor &colour : ink)
        for (const QColor &ground : grounds)
            weakest = std::min(weakest, Palette::contrast(colour, ground));
    return weakest;
}

// The edge `widget` draws that stands out most, as its weakest contrast.
double edgeContrast(QWidget &widget)
{
    const PaintRecorder recorder(widget);
    double best = 1;
    for (const QList<QColor> &line : recorder.lines())
        best = std::max(best, weakestContrast(line));
    return best;
}

// The last fill inside `area` (a thumb, a radio button's dot) and the fill
// drawn last before it just beside it, what it stands on.
std::pair<Fill, Fill> markIn(QWidget &widget, const QRectF &area)
{
    const QList<Fill> fills = PaintRecorder(widget).fills();
    for (qsizetype i = fills.size() - 1; i >= 0; --i) {
        if (!area.contains(fills.at(i).bounds))
            continue;
        const QPointF beside(fills.at(i).bounds.right() + 1, fills.at(i).bounds.center().y());
        for (qsizetype below = i - 1; below >= 0; --below)
            if (fills.at(below).bounds.contains(beside))
                return {fills.at(i), fills.at(below)};
    }
    return {};
}

} // namespace

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

    void controlEdgesStandOut_data() { everyTextToneReads_data(); }

    void controlEdgesStandOut()
    {
        QFETCH(AppTheme, theme);
        applyTheme(AppTheme::light);
        test::SettingsHarness harness;
        QWidget window;
        auto *layout = new QVBoxLayout(&window);
        auto *radio = new QRadioButton(QStringLiteral("Auto"));
        radio->setChecked(true);
        auto *scrollBar = new QScrollBar(Qt::Vertical);
        scrollBar->setFixedHeight(200);
        layout->addWidget(scrollBar);
        ProviderRow provider(LLMProviderKind::ollama);
        provider.setState(true, LLMProviderStatus::ready());
        provider.resize(420, provider.heightForWidth(420));
        const QList<std::pair<const char *, QWidget *>> controls{
            {"check box", new QCheckBox(QStringLiteral("Launch Tavelon at login"))},
            {"radio button", radio},
            {"text field", new QLineEdit},
            {"text area", new QPlainTextEdit},
            {"number field", new QSpinBox},
            {"bordered button", new QPushButton(QStringLiteral("Export…"))},
            {"filled button", inkButton(QStringLiteral("Use This Ring"))},
            {"segmented control", new SegmentedControl({QStringLiteral("Auto"), QStringLiteral("Light")})},
        };
        for (const auto &[name, control] : controls)
            layout->addWidget(control);
        RingPreviewView preview(harness.context());
        window.show();
        // Built under one theme, drawn under another.
        applyTheme(AppTheme::dark);
        applyTheme(theme);
        QCoreApplication::processEvents();
        for (const auto &[name, control] : controls) {
            const double contrast = edgeContrast(*control);
            QVERIFY2(contrast >= Palette::minimumBoundaryContrast,
                     qPrintable(QStringLiteral("%1: %2:1").arg(QLatin1String(name)).arg(contrast, 0, 'f', 2)));
        }
        // A thumb on its groove, a chosen radio button's dot (the plain one's
        // and the AI tab's provider row's) on its circle: at least 6 px
        // across, standing out, and darker than what it is on in light.
        const QList<std::pair<const char *, std::pair<Fill, Fill>>> marks{
            {"scroll bar", markIn(*scrollBar, scrollBar->rect())},
            {"radio button", markIn(*radio, QRectF(0, 0, radio->height(), radio->height()))},
            {"provider row", markIn(provider, QRectF(0, 0, ProviderRow::textIndent(), provider.height()))}};
        for (const auto &[name, found] : marks) {
            const auto &[mark, ground] = found;
            const double contrast = weakestContrast(mark.colours, ground.colours);
            QVERIFY2(mark.bounds.width() >= 6 && contrast >= Palette::minimumBoundaryContrast,
                     qPrintable(QStringLiteral("%1: %2 px, %3:1")
                                    .arg(QLatin1String(name)).arg(mark.bounds.width()).arg(contrast, 0, 'f', 2)));
            for (const QColor &ink : mark.colours)
                for (const QColor &paper : ground.colours)
                    QCOMPARE(ink.lightnessF() > paper.lightnessF(), Palette::isDark());
        }
        // An empty slot of the preview, on the preview's card.
        const RingStyle &slots = preview.ringView().style();
        for (const QColor &edge : {slots.emptyBorder, slots.emptyPlus})
            QVERIFY(Palette::contrast(edge, Palette::underPageBackground()) >= Palette::minimumBoundaryContrast);
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
