#include "settings/packs/PackAddRowDelegate.h"

#include "model/IconSpec.h"
#include "settings/kit/SettingsLooks.h"
#include "ui/IconView.h"
#include "ui/Palette.h"

#include <QPainter>
#include <QPainterPath>

namespace vima {

namespace {

constexpr int sidePadding = 12;
constexpr int verticalPadding = 5;
constexpr int iconFrame = 20;
constexpr int gap = 10;

QFont titleFont() { return pointFont(13); }
QFont subtitleFont() { return pointFont(10); }
QFont captionRowFont() { return pointFont(10, QFont::DemiBold); }

} // namespace

PackAddRowDelegate::PackAddRowDelegate(const AppIconCache *appIcons, QObject *parent)
    : QStyledItemDelegate(parent), appIcons_(appIcons)
{
}

QSize PackAddRowDelegate::sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    if (index.data(CaptionRole).toBool())
        return {option.rect.width(), QFontMetrics(captionRowFont()).height() + 11};
    int texts = QFontMetrics(titleFont()).height();
    if (!index.data(SubtitleRole).toString().isEmpty())
        texts += 1 + QFontMetrics(subtitleFont()).height();
    return {option.rect.width(), std::max(texts, iconFrame) + 2 * verticalPadding};
}

void PackAddRowDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    const QRect row = option.rect.adjusted(sidePadding, 0, -sidePadding, 0);
    if (index.data(CaptionRole).toBool()) {
        painter->setFont(captionRowFont());
        painter->setPen(Palette::tertiaryLabel());
        painter->drawText(row.adjusted(0, 8, 0, -3), Qt::AlignLeft | Qt::AlignBottom, index.data().toString().toUpper());
        painter->restore();
        return;
    }
    const bool enabled = option.state & QStyle::State_Enabled;
    // The cursor's row too, so that the keyboard shows where Return adds.
    if (enabled && option.state & (QStyle::State_MouseOver | QStyle::State_Selected | QStyle::State_HasFocus)) {
        QPainterPath highlight;
        highlight.addRoundedRect(QRectF(option.rect).adjusted(4, 1, -4, -1), 6, 6);
        painter->fillPath(highlight, Palette::selectedContentBackground());
    }
    if (!enabled)
        painter->setOpacity(0.4);

    const QRect content = row.adjusted(0, verticalPadding, 0, -verticalPadding);
    const double iconSize = index.data(IconSizeRole).toDouble();
    IconView{index.data(IconRole).value<IconSpec>(), iconSize, appIcons_}.paint(
        *painter, QPointF(content.left() + iconFrame / 2.0, content.center().y() + 0.5), Palette::secondaryLabel());

    const QString trailing = index.data(TrailingSymbolRole).toString();
    const double trailingSize = trailing == QLatin1String("chevron.right") ? 10 : 11;
    const double trailingSide = IconView::symbolSide(trailingSize);
    IconView::paintSymbol(*painter, trailing, QPointF(content.right() - trailingSide / 2, content.center().y() + 0.5),
                          trailingSize, Palette::tertiaryLabel(), SymbolCatalog::Weight::medium);

    const int left = content.left() + iconFrame + gap;
    const int width = int(content.right() - trailingSide - gap) - left;
    const QString subtitle = index.data(SubtitleRole).toString();
    const QFontMetrics titleMetrics(titleFont());
    const QFontMetrics subtitleMetrics(subtitleFont());
    const int height = titleMetrics.height() + (subtitle.isEmpty() ? 0 : 1 + subtitleMetrics.height());
    const int top = content.center().y() - height / 2 + 1;
    painter->setFont(titleFont());
    painter->setPen(Palette::label());
    painter->drawText(QRect(left, top, width, titleMetrics.height()), Qt::AlignLeft | Qt::AlignVCenter,
                      titleMetrics.elidedText(index.data().toString(), Qt::ElideRight, width));
    if (!subtitle.isEmpty()) {
        painter->setFont(subtitleFont());
        painter->setPen(Palette::tertiaryLabel());
        painter->drawText(QRect(left, top + titleMetrics.height() + 1, width, subtitleMetrics.height()),
                          Qt::AlignLeft | Qt::AlignVCenter, subtitleMetrics.elidedText(subtitle, Qt::ElideRight, width));
    }
    painter->restore();
}

} // namespace vima
