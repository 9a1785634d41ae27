#include "settings/kit/IconTile.h"

#include "ui/IconView.h"
#include "ui/Palette.h"

#include <QPainter>
#include <QPainterPath>

namespace vima {

IconTile::IconTile(const Look &look, const AppIconCache *appIcons, QWidget *parent)
    : QWidget(parent), look_(look), appIcons_(appIcons)
{
    setFixedSize(look.side, look.side);
}

void IconTile::setIcon(const IconSpec &icon)
{
    if (icon == icon_)
        return;
    icon_ = icon;
    update();
}

void IconTile::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF tile = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    QPainterPath shape;
    shape.addRoundedRect(tile, look_.radius, look_.radius);
    painter.fillPath(shape, look_.fill ? look_.fill() : Palette::controlBackground());
    if (look_.bordered)
        painter.strokePath(shape, QPen(Palette::separator(), 1));
    IconView{icon_, look_.iconSize, appIcons_}.paint(painter, tile.center(), toneColor(look_.ink));
}

} // namespace vima
