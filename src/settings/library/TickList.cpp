#include "settings/library/TickList.h"

#include <QEvent>

namespace vima {

namespace {

bool isTicked(const QModelIndex &index)
{
    return index.data(Qt::CheckStateRole).value<Qt::CheckState>() == Qt::Checked;
}

} // namespace

TickList::TickList(QAbstractItemModel *model, QWidget *parent) : QListView(parent)
{
    setSelectionMode(QAbstractItemView::MultiSelection);
    setModel(model);
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this, &TickList::writeTicks);
    connect(model, &QAbstractItemModel::dataChanged, this,
            [this](const QModelIndex &topLeft, const QModelIndex &bottomRight) { showTicks(topLeft.row(), bottomRight.row()); });
    // A reset clears the selection; the ticks outlive it.
    connect(model, &QAbstractItemModel::modelReset, this, [this] { showTicks(0, this->model()->rowCount() - 1); });
    showTicks(0, model->rowCount() - 1);
}

QItemSelectionModel::SelectionFlags TickList::selectionCommand(const QModelIndex &index, const QEvent *event) const
{
    switch (event ? event->type() : QEvent::None) {
    case QEvent::MouseButtonPress:
    case QEvent::KeyPress: // Space toggles, the arrows move on
        return QListView::selectionCommand(index, event);
    default:
        return QItemSelectionModel::NoUpdate;
    }
}

void TickList::writeTicks(const QItemSelection &selected, const QItemSelection &deselected)
{
    for (const QModelIndex &index : selected.indexes())
        model()->setData(index, Qt::Checked, Qt::CheckStateRole);
    for (const QModelIndex &index : deselected.indexes())
        model()->setData(index, Qt::Unchecked, Qt::CheckStateRole);
}

void TickList::showTicks(int first, int last)
{
    for (int row = first; row <= last; ++row) {
        const QModelIndex index = model()->index(row, 0);
        if (selectionModel()->isSelected(index) != isTicked(index))
            selectionModel()->select(index, isTicked(index) ? QItemSelectionModel::Select : QItemSelectionModel::Deselect);
    }
}

} // namespace vima
