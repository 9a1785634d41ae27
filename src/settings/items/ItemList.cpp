#include "settings/items/ItemList.h"

#include "ring/RingText.h"
#include "settings/items/ItemRowDelegate.h"
#include "settings/items/ItemsSettingsModel.h"
#include "settings/kit/IdListModel.h"
#include "settings/kit/RowSelection.h"
#include "settings/kit/SettingsContext.h"
#include "settings/kit/SlotNumber.h"
#include "ui/PlainText.h"

#include <QKeyEvent>
#include <QScopedValueRollback>
#include <algorithm>

namespace vima {

ItemList::ItemList(ItemsSettingsModel &model, SettingsContext &context, QWidget *parent)
    : QListView(parent)
    , model_(model)
    , rows_(new IdListModel(this))
{
    setModel(rows_);
    setItemDelegate(new ItemRowDelegate(&context.appIcons, this));
    setFrameShape(QFrame::NoFrame);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setUniformItemSizes(true);
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    setAccessibleName(tr("Items"));
    viewport()->setAutoFillBackground(false);
    followSelectedRow(this, this, [this](int row) { followSelection(row); });
}

QList<IdListModel::Row> ItemList::rowsOf(const QList<RingItem> &items)
{
    QList<IdListModel::Row> rows;
    rows.reserve(items.size());
    for (const RingItem &item : items) {
        const QString title = ItemsSettingsModel::displayName(item.title);
        const QString summary = RingText::bounded(item.action.summary());
        const QString slot = slotNumber(item.slot);
        rows.append({item.id,
                     {{Qt::DisplayRole, title},
                      {ItemRowDelegate::SummaryRole, summary},
                      {ItemRowDelegate::SlotRole, slot},
                      {ItemRowDelegate::IconRole, QVariant::fromValue(item.icon)},
                      {Qt::AccessibleTextRole,
                       tr("%1, %2, slot %3").arg(isolated(title), isolated(summary), slot)}}});
    }
    return rows;
}

void ItemList::refresh()
{
    // Rows are made again only when the items changed: another selection
    // marks one row, and a page of many items keeps a click quick.
    const QList<RingItem> listed = model_.listedItems();
    if (listed != listed_) {
        unmarked_ = rowsOf(listed);
        listed_ = listed;
    }
    QList<IdListModel::Row> rows = unmarked_;
    const auto selected = model_.selectedItemID();
    const auto marked = std::find_if(listed_.cbegin(), listed_.cend(),
                                     [&](const RingItem &item) { return item.id == selected; });
    if (marked != listed_.cend())
        rows[marked - listed_.cbegin()].data.insert(ItemRowDelegate::SelectedRole, true);
    const QScopedValueRollback guard(refreshing_, true);
    rows_->setRows(rows);
    showSelection();
}

void ItemList::showSelection()
{
    const QScopedValueRollback guard(refreshing_, true);
    const auto selected = model_.selectedItemID();
    const auto row = selected ? rows_->rowOf(*selected) : std::nullopt;
    if (!row) {
        selectionModel()->clear();
        return;
    }
    const QModelIndex index = rows_->index(int(*row));
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
    scrollTo(index);
}

void ItemList::followSelection(int row)
{
    if (refreshing_)
        return;
    if (row >= 0)
        model_.selectItem(rows_->idAt(row));
    else
        // A row unselected by itself leaves the tab's item selected: shown
        // again once whoever unselected it is done (a select clears first).
        QMetaObject::invokeMethod(this, &ItemList::showSelection, Qt::QueuedConnection);
}

void ItemList::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Up: model_.moveSelection(-1); break;
    case Qt::Key_Down: model_.moveSelection(+1); break;
    case Qt::Key_Left:
    case Qt::Key_Right: break;
    default: QListView::keyPressEvent(event);
    }
}

} // namespace vima
