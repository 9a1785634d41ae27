#include "settings/general/AppRingChip.h"

#include "settings/kit/SettingsLooks.h"
#include "ui/IconView.h"

#include <QHBoxLayout>
#include <QPainter>

namespace vima {

namespace {
constexpr int iconSide = 18; // an application icon of size 12 fills 12 + 6 points
}

AppRingChip::AppRingChip(const QString &bundleID, const QString &name, const AppIconCache &icons, QWidget *parent)
    : QWidget(parent), icon_(IconSpec::appIcon(bundleID)), icons_(icons)
{
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(iconSide + 4, 0, 0, 0);
    auto *label = caption(name, Tone::label);
    label->setWordWrap(false);
    layout->addWidget(label);
    setAccessibleName(name);
    setMinimumHeight(iconSide);
}

void AppRingChip::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    IconView{icon_, 12, &icons_}.paint(painter, QPointF(iconSide / 2.0, height() / 2.0), toneColor(Tone::label));
}

} // namespace vima
