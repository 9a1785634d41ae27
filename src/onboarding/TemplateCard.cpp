#include "onboarding/TemplateCard.h"

#include "onboarding/OnboardingStyle.h"
#include "ui/Palette.h"

#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>

namespace vima {

namespace {
constexpr int minimumCardHeight = 118;
constexpr int padding = 10;
} // namespace

TemplateCard::TemplateCard(const RingTemplate &ringTemplate, QWidget *parent)
    : QAbstractButton(parent), templateID_(ringTemplate.id)
{
    using namespace onboarding;
    setCheckable(true);
    setText(ringTemplate.name);
    setAccessibleName(ringTemplate.name);
    setAccessibleDescription(ringTemplate.summary);
    setFocusPolicy(Qt::StrongFocus);

    content_ = new QWidget(this);
    content_->setAttribute(Qt::WA_TransparentForMouseEvents);
    auto *column = new QVBoxLayout(content_);
    column->setContentsMargins(padding, padding, padding, padding);
    column->setSpacing(5);
    column->addWidget(symbolIcon(ringTemplate.symbol, 20, Tone::secondary), 0, Qt::AlignLeft);
    column->addWidget(textLabel(ringTemplate.name, TextStyle::headline, Tone::label, false));
    column->addWidget(textLabel(ringTemplate.summary, TextStyle::caption, Tone::secondary));
    column->addStretch();
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
}

int TemplateCard::heightForWidth(int width) const
{
    return std::max(minimumCardHeight, content_->layout()->totalHeightForWidth(width));
}

QSize TemplateCard::sizeHint() const
{
    return {160, heightForWidth(160)};
}

QSize TemplateCard::minimumSizeHint() const
{
    return {10, minimumCardHeight};
}

void TemplateCard::resizeEvent(QResizeEvent *event)
{
    QAbstractButton::resizeEvent(event);
    content_->setGeometry(rect());
}

void TemplateCard::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const bool selected = isChecked();
    painter.setBrush(selected ? Palette::selectedContentBackground(palette()) : Palette::controlBackground(palette()));
    painter.setPen(QPen(selected ? Palette::grid(palette()) : Palette::separator(palette()), 1));
    painter.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 8, 8);
    if (hasFocus()) {
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(palette().color(QPalette::Highlight), 2));
        painter.drawRoundedRect(QRectF(rect()).adjusted(1, 1, -1, -1), 8, 8);
    }
}

} // namespace vima
