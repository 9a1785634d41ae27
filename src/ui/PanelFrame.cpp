#include "ui/PanelFrame.h"

#include <QPainter>
#include <QRegion>
#include <QWidget>

namespace vima {

QPainterPath PanelFrame::outline(const QRectF &rect) const
{
    const double radius = radius_ < 0 ? rect.height() / 2 : radius_;
    QPainterPath path;
    path.addRoundedRect(rect, radius, radius);
    return path;
}

void PanelFrame::paint(QWidget &panel) const
{
    QPainter painter(&panel);
    painter.setRenderHint(QPainter::Antialiasing);
    // Half a pixel in, so that the border falls on whole pixels.
    const QPainterPath shape = outline(QRectF(panel.rect()).adjusted(0.5, 0.5, -0.5, -0.5));
    painter.fillPath(shape, panel.palette().window());
    painter.setPen(QPen(panel.palette().mid().color(), 1));
    painter.drawPath(shape);
}

void PanelFrame::clip(QWidget &panel) const
{
    panel.setMask(QRegion(outline(QRectF(panel.rect())).toFillPolygon().toPolygon()));
}

} // namespace vima
