#pragma once

#include <QProxyStyle>

class QStyleOptionSlider;

namespace vima {

// The application's style: the platform's own, with every control's edge
// (check boxes, radio buttons, text fields, buttons, pop-up buttons) and
// every scroll bar's thumb drawn in Palette::controlBoundary, so they stand
// out in light and dark themes alike, and buttons filled or bordered with the
// same corners and padding. Colours are read at paint time: a theme switch
// shows on the next paint.
class ControlStyle final : public QProxyStyle {
    Q_OBJECT

public:
    static constexpr double cornerRadius = 4;
    // Space between a button's text and its edge, on either side.
    static constexpr int buttonPadding = 12;
    // The chosen radio button's dot is at least this wide.
    static constexpr double minimumRadioMark = 6;

    // Makes it the application's style, once.
    static void install();

    void drawPrimitive(PrimitiveElement element, const QStyleOption *option, QPainter *painter,
                       const QWidget *widget = nullptr) const override;
    void drawComplexControl(ComplexControl control, const QStyleOptionComplex *option, QPainter *painter,
                            const QWidget *widget = nullptr) const override;
    QSize sizeFromContents(ContentsType type, const QStyleOption *option, const QSize &size,
                           const QWidget *widget = nullptr) const override;

private:
    void drawIndicator(PrimitiveElement element, const QStyleOption *option, QPainter *painter) const;
    void drawField(const QStyleOption *option, QPainter *painter) const;
    void drawButtonPanel(const QStyleOption *option, QPainter *painter) const;
    void drawScrollBar(const QStyleOptionSlider *bar, QPainter *painter, const QWidget *widget) const;
};

} // namespace vima
