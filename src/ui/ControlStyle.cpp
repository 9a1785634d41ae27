#include "ui/ControlStyle.h"

#include "ui/Palette.h"

#include <QApplication>
#include <QPainter>
#include <QPainterPath>
#include <QPlainTextEdit>
#include <QStyleOption>
#include <QTextEdit>
#include <algorithm>

namespace vima {

namespace {

bool showsKeyboardFocus(const QStyleOption *option)
{
    return option->state.testFlag(QStyle::State_HasFocus) && option->state.testFlag(QStyle::State_KeyboardFocusChange);
}

// The focus colour, or the plain edge; a disabled control's edge recedes.
QColor edgeColour(const QStyleOption *option)
{
    const QPalette &colours = option->palette;
    if (showsKeyboardFocus(option))
        return Palette::readable(colours.color(QPalette::Active, QPalette::Highlight), colours,
                                 Palette::minimumBoundaryContrast);
    QColor edge = Palette::controlBoundary(colours);
    if (!option->state.testFlag(QStyle::State_Enabled))
        edge.setAlphaF(0.45f);
    return edge;
}

// A one-pixel line drawn on the outermost pixels of `rect`.
QRectF edgeRect(const QRect &rect) { return QRectF(rect).adjusted(0.5, 0.5, -0.5, -0.5); }

bool isEditableTextArea(const QWidget *widget)
{
    if (const auto *edit = qobject_cast<const QTextEdit *>(widget))
        return !edit->isReadOnly();
    if (const auto *edit = qobject_cast<const QPlainTextEdit *>(widget))
        return !edit->isReadOnly();
    return false;
}

void drawCheckMark(QPainter *painter, const QRectF &box, const QColor &ink, bool partly)
{
    QPen pen(ink, std::max(1.5, box.width() / 8));
    pen.setCapStyle(Qt::RoundCap);
    pen.setJoinStyle(Qt::RoundJoin);
    painter->setPen(pen);
    painter->setBrush(Qt::NoBrush);
    const auto at = [&box](double x, double y) {
        return QPointF(box.left() + box.width() * x, box.top() + box.height() * y);
    };
    if (partly) {
        painter->drawLine(at(0.28, 0.5), at(0.72, 0.5));
        return;
    }
    QPainterPath tick(at(0.26, 0.52));
    tick.lineTo(at(0.43, 0.7));
    tick.lineTo(at(0.75, 0.3));
    painter->drawPath(tick);
}

} // namespace

void ControlStyle::install()
{
    if (!qobject_cast<ControlStyle *>(QApplication::style()))
        QApplication::setStyle(new ControlStyle);
}

void ControlStyle::drawPrimitive(PrimitiveElement element, const QStyleOption *option, QPainter *painter,
                                 const QWidget *widget) const
{
    switch (element) {
    case PE_IndicatorCheckBox:
    case PE_IndicatorItemViewItemCheck:
    case PE_IndicatorRadioButton:
        drawIndicator(element, option, painter);
        return;
    case PE_FrameLineEdit:
        drawField(option, painter);
        return;
    case PE_Frame:
        if (isEditableTextArea(widget))
            return drawField(option, painter);
        break;
    case PE_PanelButtonCommand:
        if (const auto *button = qstyleoption_cast<const QStyleOptionButton *>(option);
            !button || !button->features.testFlag(QStyleOptionButton::Flat))
            return drawButtonPanel(option, painter);
        break;
    default:
        break;
    }
    QProxyStyle::drawPrimitive(element, option, painter, widget);
}

void ControlStyle::drawComplexControl(ComplexControl control, const QStyleOptionComplex *option, QPainter *painter,
                                      const QWidget *widget) const
{
    if (const auto *bar = qstyleoption_cast<const QStyleOptionSlider *>(option); control == CC_ScrollBar && bar)
        return drawScrollBar(bar, painter, widget);
    QProxyStyle::drawComplexControl(control, option, painter, widget);
    // A number field is a text field with arrows: the same edge over the platform's.
    if (const auto *box = qstyleoption_cast<const QStyleOptionSpinBox *>(option);
        control == CC_SpinBox && box && box->frame)
        drawField(option, painter);
}

void ControlStyle::drawIndicator(PrimitiveElement element, const QStyleOption *option, QPainter *painter) const
{
    const QPalette &colours = option->palette;
    const bool enabled = option->state.testFlag(State_Enabled);
    QColor fill = enabled ? colours.color(QPalette::Base) : colours.color(QPalette::Window);
    if (option->state.testFlag(State_Sunken))
        fill = Palette::selectedContentBackground(colours);
    QColor ink = colours.color(QPalette::Text);
    if (!enabled)
        ink.setAlphaF(0.45f);
    // Square, so that a wide cell of a list draws a box, not a bar.
    const int side = std::min(option->rect.width(), option->rect.height());
    QRect square(0, 0, side, side);
    square.moveCenter(option->rect.center());
    const QRectF box = edgeRect(square);

    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setPen(QPen(edgeColour(option), 1));
    painter->setBrush(fill);
    if (element == PE_IndicatorRadioButton) {
        painter->drawEllipse(box);
        if (option->state.testFlag(State_On)) {
            painter->setPen(Qt::NoPen);
            painter->setBrush(ink);
            const double mark = std::max(minimumRadioMark, box.width() / 2);
            painter->drawEllipse(box.center(), mark / 2, mark / 2);
        }
    } else {
        painter->drawRoundedRect(box, 2, 2);
        if (option->state & (State_On | State_NoChange))
            drawCheckMark(painter, box, ink, option->state.testFlag(State_NoChange));
    }
    painter->restore();
}

void ControlStyle::drawField(const QStyleOption *option, QPainter *painter) const
{
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setPen(QPen(edgeColour(option), 1));
    painter->setBrush(Qt::NoBrush);
    painter->drawRoundedRect(edgeRect(option->rect), cornerRadius, cornerRadius);
    painter->restore();
}

void ControlStyle::drawButtonPanel(const QStyleOption *option, QPainter *painter) const
{
    const QPalette &colours = option->palette;
    QColor fill = colours.color(QPalette::Button);
    if (option->state & (State_Sunken | State_On))
        fill = fill.darker(115);
    else if (option->state.testFlag(State_MouseOver) && option->state.testFlag(State_Enabled))
        fill = Palette::isDark(colours) ? fill.lighter(115) : fill.darker(104);
    // A filled button that stands out from the window is its own edge.
    const bool filled = Palette::contrast(fill, Palette::windowBackground(colours)) >= Palette::minimumBoundaryContrast;
    const QColor edge = filled && !showsKeyboardFocus(option) ? fill : edgeColour(option);

    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setPen(QPen(edge, 1));
    painter->setBrush(fill);
    painter->drawRoundedRect(edgeRect(option->rect), cornerRadius, cornerRadius);
    painter->restore();
}

// The groove in the under-page tone, and a thumb that stands out from it as a
// control's edge does: darker than the groove in a light theme, lighter in a
// dark one. The platform draws the arrow buttons.
void ControlStyle::drawScrollBar(const QStyleOptionSlider *bar, QPainter *painter, const QWidget *widget) const
{
    const QPalette &colours = bar->palette;
    painter->fillRect(bar->rect, Palette::underPageBackground(colours));
    QStyleOptionSlider arrows(*bar);
    arrows.subControls &= SC_ScrollBarAddLine | SC_ScrollBarSubLine;
    QProxyStyle::drawComplexControl(CC_ScrollBar, &arrows, painter, widget);

    const QRect slider = proxy()->subControlRect(CC_ScrollBar, bar, SC_ScrollBarSlider, widget);
    if (!bar->subControls.testFlag(SC_ScrollBarSlider) || slider.isEmpty())
        return;
    QColor thumb = Palette::controlBoundary(colours);
    if (bar->activeSubControls.testFlag(SC_ScrollBarSlider) && (bar->state & (State_MouseOver | State_Sunken)))
        thumb = Palette::readable(thumb, colours);
    if (!bar->state.testFlag(State_Enabled))
        thumb.setAlphaF(0.45f);
    // Inset across the bar, so the groove shows on both sides of the thumb.
    const bool horizontal = bar->orientation == Qt::Horizontal;
    const QRectF shape = QRectF(slider).adjusted(horizontal ? 1 : 2, horizontal ? 2 : 1, horizontal ? -1 : -2,
                                                 horizontal ? -2 : -1);
    const double radius = std::min(shape.width(), shape.height()) / 2;
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setPen(Qt::NoPen);
    painter->setBrush(thumb);
    painter->drawRoundedRect(shape, radius, radius);
    painter->restore();
}

QSize ControlStyle::sizeFromContents(ContentsType type, const QStyleOption *option, const QSize &size,
                                     const QWidget *widget) const
{
    QSize result = QProxyStyle::sizeFromContents(type, option, size, widget);
    if (type != CT_PushButton)
        return result;
    const auto *button = qstyleoption_cast<const QStyleOptionButton *>(option);
    if (button && !button->features.testFlag(QStyleOptionButton::Flat) && !button->text.isEmpty())
        result.setWidth(std::max(result.width(), size.width() + 2 * buttonPadding));
    return result;
}

} // namespace vima
