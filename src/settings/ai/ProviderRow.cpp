#include "settings/ai/ProviderRow.h"

#include "ai/ProviderDisplayName.h"
#include "settings/ai/Badge.h"
#include "settings/ai/ProviderPresentation.h"
#include "settings/ai/ProviderRowAccessible.h"
#include "settings/kit/SettingsLooks.h"
#include "ui/IconView.h"
#include "ui/Palette.h"

#include <QPainter>
#include <QSignalBlocker>
#include <QPainterPath>
#include <QStyleOptionButton>

namespace vima {

namespace {

constexpr double padding = 8;
constexpr double outer = 1;
constexpr double radioColumn = 16;
constexpr double gap = 10;
constexpr double lineGap = 2;
constexpr double statusSymbol = 11;

struct StatusLook {
    QString symbol;
    Tone tone;
};

StatusLook look(const LLMProviderStatus &status)
{
    switch (status.kind) {
    case LLMProviderStatus::Case::ready: return {QStringLiteral("checkmark.circle.fill"), Tone::success};
    case LLMProviderStatus::Case::needsKey: return {QStringLiteral("key"), Tone::secondary};
    case LLMProviderStatus::Case::unsupported:
    case LLMProviderStatus::Case::unavailable: break;
    }
    return {QStringLiteral("exclamationmark.triangle.fill"), Tone::warning};
}

QFont nameFont() { return calloutFont(QFont::Medium); }

} // namespace

ProviderRow::ProviderRow(LLMProviderKind kind, QWidget *parent) : QAbstractButton(parent), kind_(kind)
{
    // Before anything below tells assistive technology about this row, which
    // would make it keep a check box's interface.
    ProviderRowAccessible::installFactory();
    setText(displayName(kind));
    setAccessibleName(displayName(kind));
    setFocusPolicy(Qt::StrongFocus);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    setCheckable(true);
}

void ProviderRow::setState(bool chosen, const LLMProviderStatus &status)
{
    if (chosen == isChecked() && status == status_)
        return;
    {
        const QSignalBlocker blocker(this);
        setChecked(chosen);
    }
    status_ = status;
    // Whether it is chosen is the radio button's checked state, not said again here.
    setAccessibleDescription(ProviderPresentation::of(kind_).tagline + QStringLiteral(". ") + statusText());
    updateGeometry();
    update();
}

QString ProviderRow::statusText() const
{
    switch (status_.kind) {
    case LLMProviderStatus::Case::ready: return QStringLiteral("Ready");
    case LLMProviderStatus::Case::needsKey: return QStringLiteral("Needs an API key");
    case LLMProviderStatus::Case::unsupported:
    case LLMProviderStatus::Case::unavailable: break;
    }
    return status_.text;
}

int ProviderRow::textIndent()
{
    return int(outer + padding + radioColumn + gap);
}

QRectF ProviderRow::textColumn(double width) const
{
    const double left = textIndent();
    return QRectF(left, outer + padding, std::max(40.0, width - left - outer - padding), 0);
}

double ProviderRow::statusHeight(double width) const
{
    const QFontMetricsF metrics(captionFont());
    const double textWidth = textColumn(width).width() - statusSymbol - 4;
    return metrics.boundingRect(QRectF(0, 0, textWidth, 1e6), Qt::TextWordWrap, statusText()).height();
}

int ProviderRow::heightForWidth(int width) const
{
    const double name = QFontMetricsF(nameFont()).height();
    const double tagline = QFontMetricsF(captionFont()).height();
    return int(std::ceil(2 * (outer + padding) + name + lineGap + tagline + lineGap + statusHeight(width)));
}

QSize ProviderRow::sizeHint() const
{
    const int width = 420;
    return {width, heightForWidth(width)};
}

void ProviderRow::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QPalette &colours = palette();
    const QRectF box = QRectF(rect()).adjusted(outer + 0.5, outer + 0.5, -outer - 0.5, -outer - 0.5);
    if (isChecked()) {
        QPainterPath shape;
        shape.addRoundedRect(box, 6, 6);
        painter.fillPath(shape, Palette::selectedContentBackground(colours));
        painter.setPen(QPen(Palette::grid(colours), 1));
        painter.drawPath(shape);
    }
    if (hasFocus()) {
        painter.setPen(QPen(colours.color(QPalette::Highlight), 2));
        painter.setBrush(Qt::NoBrush);
        painter.drawRoundedRect(box, 6, 6);
    }

    const QFontMetricsF nameMetrics(nameFont());
    const QRectF texts = textColumn(width());
    // The radio button every window draws, so its dot is as plain as theirs.
    QStyleOptionButton radio;
    radio.initFrom(this);
    radio.state &= ~QStyle::State_HasFocus; // the row draws the focus
    radio.state |= isChecked() ? QStyle::State_On : QStyle::State_Off;
    const int side = style()->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth, &radio, this);
    radio.rect = QRect(0, 0, side, side);
    radio.rect.moveCenter(QPointF(outer + padding + radioColumn / 2, texts.top() + nameMetrics.height() / 2).toPoint());
    style()->drawPrimitive(QStyle::PE_IndicatorRadioButton, &radio, &painter, this);

    painter.setFont(nameFont());
    painter.setPen(toneColor(Tone::label));
    const QString name = displayName(kind_);
    painter.drawText(QPointF(texts.left(), texts.top() + nameMetrics.ascent()), name);
    const QString badge = ProviderPresentation::of(kind_).badge;
    if (!badge.isEmpty()) {
        const QSizeF badgeSize = Badge::size(badge);
        Badge::paint(painter,
                     QPointF(texts.left() + nameMetrics.horizontalAdvance(name) + 6,
                             texts.top() + (nameMetrics.height() - badgeSize.height()) / 2),
                     badge, colours);
    }

    const QFont small = captionFont();
    const QFontMetricsF smallMetrics(small);
    double y = texts.top() + nameMetrics.height() + lineGap;
    painter.setFont(small);
    painter.setPen(toneColor(Tone::secondary));
    painter.drawText(QRectF(texts.left(), y, texts.width(), smallMetrics.height()), Qt::AlignLeft | Qt::AlignVCenter,
                     ProviderPresentation::of(kind_).tagline);
    y += smallMetrics.height() + lineGap;

    const StatusLook status = look(status_);
    const QColor ink = toneColor(status.tone);
    IconView::paintSymbol(painter, status.symbol, QPointF(texts.left() + statusSymbol / 2, y + smallMetrics.height() / 2),
                          small.pointSizeF(), ink, SymbolCatalog::Weight::medium);
    painter.setPen(ink);
    painter.drawText(QRectF(texts.left() + statusSymbol + 4, y, texts.width() - statusSymbol - 4, 1e6),
                     Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, statusText());
}

} // namespace vima
