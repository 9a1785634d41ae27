#include "settings/library/ActionLibraryDelegate.h"

#include "model/IconSpec.h"
#include "settings/kit/SettingsLooks.h"
#include "settings/library/ActionLibraryModel.h"
#include "ui/IconView.h"
#include "ui/Palette.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QPainter>
#include <QPainterPath>

namespace vima {

namespace {

constexpr int rowHeight = 44;
constexpr int headerHeight = 28;
constexpr int inset = 12;

QFont sized(QFont font, double points, QFont::Weight weight = QFont::Normal)
{
    font.setPointSizeF(points);
    font.setWeight(weight);
    return font;
}

} // namespace

ActionLibraryDelegate::ActionLibraryDelegate(const AppIconCache *appIcons, QObject *parent)
    : QStyledItemDelegate(parent), appIcons_(appIcons)
{
}

QSize ActionLibraryDelegate::sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    const bool header = index.data(ActionLibraryModel::HeaderRole).toBool();
    return {option.rect.width(), header ? headerHeight : rowHeight};
}

bool ActionLibraryDelegate::editorEvent(QEvent *, QAbstractItemModel *, const QStyleOptionViewItem &,
                                        const QModelIndex &)
{
    return false;
}

void ActionLibraryDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option,
                                  const QModelIndex &index) const
{
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    if (index.data(ActionLibraryModel::HeaderRole).toBool())
        paintHeader(painter, option, index);
    else
        paintRow(painter, option, index);
    painter->restore();
}

void ActionLibraryDelegate::paintHeader(QPainter *painter, const QStyleOptionViewItem &option,
                                        const QModelIndex &index) const
{
    painter->setPen(Palette::secondaryLabel());
    painter->setFont(sized(option.font, option.font.pointSizeF() - 1, QFont::DemiBold));
    painter->drawText(option.rect.adjusted(inset, 6, -inset, 0), Qt::AlignLeft | Qt::AlignVCenter,
                      index.data().toString());
}

void ActionLibraryDelegate::paintRow(QPainter *painter, const QStyleOptionViewItem &option,
                                     const QModelIndex &index) const
{
    const QRect rect = option.rect.adjusted(inset, 3, -inset, -3);
    // The selection holds the ticks, so the row being worked on is the current one.
    const auto *view = qobject_cast<const QAbstractItemView *>(option.widget);
    if (view && view->currentIndex() == index) {
        QPainterPath selection;
        selection.addRoundedRect(option.rect.adjusted(4, 1, -4, -1), 6, 6);
        painter->fillPath(selection, Palette::selectedContentBackground().lighter(option.state & QStyle::State_HasFocus ? 100 : 140));
    }

    QStyleOptionButton check;
    check.rect = QRect(rect.left(), rect.center().y() - 8, 16, 16);
    check.state = QStyle::State_Enabled
        | (index.data(Qt::CheckStateRole).value<Qt::CheckState>() == Qt::Checked ? QStyle::State_On
                                                                                  : QStyle::State_Off);
    const QWidget *widget = option.widget;
    QStyle *style = widget ? widget->style() : QApplication::style();
    style->drawPrimitive(QStyle::PE_IndicatorCheckBox, &check, painter, widget);

    const QRectF tile(check.rect.right() + 10, rect.center().y() - 15, 30, 30);
    QPainterPath tilePath;
    tilePath.addRoundedRect(tile.adjusted(0.5, 0.5, -0.5, -0.5), 6, 6);
    painter->fillPath(tilePath, Palette::controlBackground());
    painter->strokePath(tilePath, QPen(Palette::separator(), 1));
    IconView{index.data(ActionLibraryModel::IconRole).value<IconSpec>(), 15, appIcons_}.paint(
        *painter, tile.center(), Palette::secondaryLabel());

    const QString badge = index.data(ActionLibraryModel::BadgeRole).toString();
    const QFont badgeFont = sized(option.font, option.font.pointSizeF() - 2.5);
    const QFontMetrics badgeMetrics(badgeFont);
    const QRectF badgeRect(rect.right() - badgeMetrics.horizontalAdvance(badge) - 12,
                           rect.center().y() - (badgeMetrics.height() + 4) / 2.0,
                           badgeMetrics.horizontalAdvance(badge) + 12, badgeMetrics.height() + 4);
    QPainterPath capsule;
    capsule.addRoundedRect(badgeRect.adjusted(0.5, 0.5, -0.5, -0.5), badgeRect.height() / 2, badgeRect.height() / 2);
    painter->fillPath(capsule, Palette::underPageBackground());
    painter->strokePath(capsule, QPen(Palette::separator(), 1));
    painter->setFont(badgeFont);
    painter->setPen(Palette::secondaryLabel());
    painter->drawText(badgeRect, Qt::AlignCenter, badge);

    const int textLeft = int(tile.right()) + 10;
    const QRect texts(textLeft, rect.top(), int(badgeRect.left()) - 8 - textLeft, rect.height());
    const QFont titleFont = sized(option.font, option.font.pointSizeF(), QFont::DemiBold);
    const QFont summaryFont = captionFont();
    const int titleHeight = QFontMetrics(titleFont).height();
    const int top = texts.center().y() - (titleHeight + 1 + QFontMetrics(summaryFont).height()) / 2;
    painter->setFont(titleFont);
    painter->setPen(Palette::label());
    painter->drawText(QRect(texts.left(), top, texts.width(), titleHeight), Qt::AlignLeft | Qt::AlignVCenter,
                      QFontMetrics(titleFont).elidedText(index.data().toString(), Qt::ElideRight, texts.width()));
    painter->setFont(summaryFont);
    painter->setPen(Palette::secondaryLabel());
    painter->drawText(QRect(texts.left(), top + titleHeight + 1, texts.width(), QFontMetrics(summaryFont).height()),
                      Qt::AlignLeft | Qt::AlignVCenter,
                      QFontMetrics(summaryFont).elidedText(index.data(ActionLibraryModel::SummaryRole).toString(),
                                                           Qt::ElideRight, texts.width()));
}

} // namespace vima
