#include "settings/ai/Badge.h"

#include "ui/Palette.h"

#include <QGuiApplication>
#include <QPainter>

namespace vima {

namespace {

constexpr double horizontalPadding = 5;
constexpr double verticalPadding = 1;

QFont badgeFont()
{
    QFont font = QGuiApplication::font();
    font.setPointSizeF(9 * 0.75);
    font.setBold(true);
    return font;
}

} // namespace

Badge::Badge(QString text, QWidget *parent) : QWidget(parent), text_(std::move(text))
{
    setAccessibleName(text_);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

QSizeF Badge::size(const QString &text)
{
    const QFontMetricsF metrics(badgeFont());
    return {metrics.horizontalAdvance(text) + 2 * horizontalPadding, metrics.height() + 2 * verticalPadding};
}

void Badge::paint(QPainter &painter, QPointF at, const QString &text, const QPalette &colours)
{
    const QRectF capsule(at, size(text));
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Palette::selectedContentBackground(colours));
    painter.drawRoundedRect(capsule, capsule.height() / 2, capsule.height() / 2);
    painter.setFont(badgeFont());
    painter.setPen(Palette::secondaryLabel(colours));
    painter.drawText(capsule, Qt::AlignCenter, text);
    painter.restore();
}

QSize Badge::sizeHint() const
{
    return size(text_).toSize() + QSize(1, 1);
}

void Badge::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    paint(painter, QPointF(0, 0), text_, palette());
}

} // namespace vima
