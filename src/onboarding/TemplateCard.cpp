#include "onboarding/TemplateCard.h"

#include "onboarding/OnboardingStyle.h"
#include "ui/Palette.h"
#include "ui/SymbolCatalog.h"

#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>

namespace vima {

namespace {
constexpr int minimumCardHeight = 118;
constexpr int padding = 10;
constexpr int badgeSide = 16;
constexpr double radius = 8;
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
    const QPalette &colours = palette();
    const QRectF card = QRectF(rect()).adjusted(1, 1, -1, -1);
    // Chosen: the accent's edge and a check mark. Focus alone is a dashed
    // ring inside the edge, so a focused card never passes for the chosen one.
    if (isChecked()) {
        const QColor accent = Palette::readable(colours.color(QPalette::Active, QPalette::Highlight), colours,
                                                Palette::minimumBoundaryContrast);
        painter.setBrush(Palette::selectedContentBackground(colours));
        painter.setPen(QPen(accent, 2));
        painter.drawRoundedRect(card, radius, radius);
        const int pixels = int(badgeSide * devicePixelRatioF());
        QImage badge = SymbolCatalog::image(QStringLiteral("checkmark.circle.fill"), pixels, accent,
                                            SymbolCatalog::Weight::semibold);
        badge.setDevicePixelRatio(devicePixelRatioF());
        painter.drawImage(QPointF(width() - padding - badgeSide, padding), badge);
    } else {
        painter.setBrush(Palette::controlBackground(colours));
        painter.setPen(QPen(Palette::separator(colours), 1));
        painter.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), radius, radius);
    }
    if (hasFocus()) {
        QPen dashes(Palette::controlBoundary(colours), 1, Qt::DashLine);
        painter.setPen(dashes);
        painter.setBrush(Qt::NoBrush);
        painter.drawRoundedRect(card.adjusted(3.5, 3.5, -3.5, -3.5), radius - 3, radius - 3);
    }
}

} // namespace vima
