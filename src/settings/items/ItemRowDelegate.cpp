#include "settings/items/ItemRowDelegate.h"

#include "model/IconSpec.h"
#include "settings/kit/MenuLooks.h"
#include "ui/IconView.h"
#include "ui/Palette.h"

#include <QPainter>
#include <QPainterPath>

namespace vima {

namespace {

constexpr int rowHeight = 44;
constexpr int leading = 12;
constexpr int tileSide = 28;
constexpr int spacing = 11;

void fillRounded(QPainter &painter, const QRectF &rect, double radius, const QColor &colour)
{
    QPainterPath path;
    path.addRoundedRect(rect, radius, radius);
    painter.fillPath(path, colour);
}

} // namespace

ItemRowDelegate::ItemRowDelegate(const AppIconCache *appIcons, QObject *parent)
    : QStyledItemDelegate(parent)
    , appIcons_(appIcons)
{
}

QSize ItemRowDelegate::sizeHint(const QStyleOptionViewItem &, const QModelIndex &) const
{
    return {leading * 2 + tileSide, rowHeight + 2};
}

void ItemRowDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    const bool selected = index.data(SelectedRole).toBool();
    const QRectF row = QRectF(option.rect).adjusted(6, 1, -6, -1);
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    if (selected)
        fillRounded(*painter, row, 9, Palette::selectedContentBackground());
    if (option.state & QStyle::State_HasFocus) {
        painter->setPen(QPen(option.palette.color(QPalette::Highlight), 1));
        painter->drawRoundedRect(row.adjusted(0.5, 0.5, -0.5, -0.5), 9, 9);
    }

    const QRect content = option.rect.adjusted(leading, 1, -leading, -1);
    const QRectF tile(content.left(), content.center().y() - tileSide / 2.0, tileSide, tileSide);
    if (selected)
        fillRounded(*painter, tile, 7, Palette::selectedContentBackground());
    const IconSpec icon = index.data(IconRole).value<IconSpec>();
    IconView{icon, 16, appIcons_}.paint(*painter, tile.center(), selected ? Palette::label() : Palette::secondaryLabel());

    const QFont slotFont = pointFont(11);
    const QString slot = index.data(SlotRole).toString();
    const int slotWidth = QFontMetrics(slotFont).horizontalAdvance(slot);
    const QRect slotRect(content.right() - slotWidth, content.top(), slotWidth, content.height());
    painter->setFont(slotFont);
    painter->setPen(Palette::tertiaryLabel());
    painter->drawText(slotRect, Qt::AlignVCenter | Qt::AlignRight, slot);

    const int textLeft = int(tile.right()) + spacing;
    const int textWidth = std::max(slotRect.left() - 8 - textLeft, 0);
    const QFont titleFont = pointFont(13, QFont::Medium);
    const QFont summaryFont = pointFont(11);
    const QFontMetrics titleMetrics(titleFont), summaryMetrics(summaryFont);
    const int textHeight = titleMetrics.height() + 2 + summaryMetrics.height();
    const int top = content.center().y() - textHeight / 2;
    painter->setFont(titleFont);
    painter->setPen(Palette::label());
    painter->drawText(QRect(textLeft, top, textWidth, titleMetrics.height()), Qt::AlignLeft | Qt::AlignVCenter,
                      titleMetrics.elidedText(index.data(Qt::DisplayRole).toString(), Qt::ElideRight, textWidth));
    painter->setFont(summaryFont);
    painter->setPen(Palette::tertiaryLabel());
    painter->drawText(QRect(textLeft, top + titleMetrics.height() + 2, textWidth, summaryMetrics.height()),
                      Qt::AlignLeft | Qt::AlignVCenter,
                      summaryMetrics.elidedText(index.data(SummaryRole).toString(), Qt::ElideMiddle, textWidth));
    painter->restore();
}

} // namespace vima
