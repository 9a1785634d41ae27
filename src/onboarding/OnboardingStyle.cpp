#include "onboarding/OnboardingStyle.h"

#include "ui/SymbolCatalog.h"

#include <QHBoxLayout>

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

QHBoxLayout *centredRow(QWidget *widget)
{
    auto *row = new QHBoxLayout;
    row->setContentsMargins(0, 0, 0, 0);
    row->addStretch();
    row->addWidget(widget);
    row->addStretch();
    return row;
}

ToneLabel *textLabel(const QString &text, TextStyle style, Tone tone, bool wrap)
{
    auto *label = new ToneLabel(tone, text);
    label->setFont(font(style));
    label->setWordWrap(wrap);
    return label;
}

SymbolIcon *symbolIcon(const QString &name, int side, Tone tone)
{
    return new SymbolIcon(SymbolCatalog::knows(name) ? name : QStringLiteral("circle.fill"), tone, side);
}

} // namespace vima::onboarding
