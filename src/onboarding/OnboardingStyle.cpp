#include "onboarding/OnboardingStyle.h"

#include "ui/SymbolCatalog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPixmap>

namespace vima::onboarding {

QFont font(TextStyle style)
{
    QFont result;
    const auto set = [&result](int pixels, QFont::Weight weight) {
        result.setPixelSize(pixels);
        result.setWeight(weight);
    };
    switch (style) {
    case TextStyle::largeTitle:
        set(30, QFont::Medium);
        break;
    case TextStyle::title:
        set(22, QFont::DemiBold);
        break;
    case TextStyle::title3:
        set(15, QFont::Normal);
        break;
    case TextStyle::headline:
        set(13, QFont::DemiBold);
        break;
    case TextStyle::callout:
        set(12, QFont::Normal);
        break;
    case TextStyle::caption:
        set(10, QFont::Normal);
        break;
    case TextStyle::captionStrong:
        set(10, QFont::DemiBold);
        break;
    }
    return result;
}

QFont titleFont(int pixelSize)
{
    QFont result(QStringLiteral("serif"));
    result.setStyleHint(QFont::Serif);
    result.setPixelSize(pixelSize);
    result.setWeight(QFont::DemiBold);
    return result;
}

void setTextColour(QWidget *widget, const QColor &colour)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, colour);
    palette.setColor(QPalette::Text, colour);
    palette.setColor(QPalette::ButtonText, colour);
    widget->setPalette(palette);
}

QHBoxLayout *centredRow(QWidget *widget)
{
    auto *row = new QHBoxLayout;
    row->setContentsMargins(0, 0, 0, 0);
    row->addStretch();
    row->addWidget(widget);
    row->addStretch();
    return row;
}

QLabel *textLabel(const QString &text, TextStyle style, const QColor &colour, bool wrap, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setTextFormat(Qt::PlainText);
    label->setFont(font(style));
    label->setWordWrap(wrap);
    setTextColour(label, colour);
    return label;
}

QLabel *symbolLabel(const QString &name, int pixelSize, const QColor &colour, QWidget *parent)
{
    auto *label = new QLabel(parent);
    const QString shown = SymbolCatalog::knows(name) ? name : QStringLiteral("circle.fill");
    const qreal ratio = label->devicePixelRatioF();
    const QImage symbol = SymbolCatalog::image(shown, qRound(pixelSize * ratio), colour, SymbolCatalog::Weight::regular);
    // The catalogue tints with the opaque colour; the label colours are partly transparent.
    QPixmap pixmap(symbol.size());
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setOpacity(colour.alphaF());
    painter.drawImage(0, 0, symbol);
    painter.end();
    pixmap.setDevicePixelRatio(ratio);
    label->setPixmap(pixmap);
    label->setAlignment(Qt::AlignCenter);
    label->setAccessibleName(shown);
    return label;
}

} // namespace vima::onboarding
