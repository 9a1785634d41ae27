#include "onboarding/OnboardingCard.h"

#include "ui/Palette.h"

#include <QPainter>

namespace vima {

OnboardingCard::OnboardingCard(qreal radius, QWidget *parent) : QFrame(parent), radius_(radius) {}

void OnboardingCard::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QColor material = Palette::controlBackground(palette());
    material.setAlphaF(0.6f);
    painter.setBrush(material);
    painter.setPen(QPen(Palette::separator(palette()), 1));
    painter.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), radius_, radius_);
}

} // namespace vima
