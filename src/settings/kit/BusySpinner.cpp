#include "settings/kit/BusySpinner.h"

#include "ui/Palette.h"

#include <QPainter>

namespace vima {

BusySpinner::BusySpinner(const QString &accessibleName, int side, QWidget *parent) : QWidget(parent)
{
    setFixedSize(side, side);
    setAccessibleName(accessibleName);
    timer_.setInterval(50);
    connect(&timer_, &QTimer::timeout, this, [this] {
        angle_ = (angle_ + 30) % 360;
        update();
    });
}

void BusySpinner::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF circle = QRectF(rect()).adjusted(1.5, 1.5, -1.5, -1.5);
    painter.setPen(QPen(Palette::separator(), 2));
    painter.drawEllipse(circle);
    painter.setPen(QPen(Palette::secondaryLabel(), 2, Qt::SolidLine, Qt::RoundCap));
    painter.drawArc(circle, -angle_ * 16, 100 * 16);
}

void BusySpinner::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    timer_.start();
}

void BusySpinner::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    timer_.stop();
}

} // namespace vima
