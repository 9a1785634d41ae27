#include "settings/kit/ChoiceList.h"

#include "settings/kit/RowSelection.h"

#include <QKeyEvent>

namespace vima {

ChoiceList::ChoiceList(QWidget *parent) : QListWidget(parent)
{
    setSelectionMode(QAbstractItemView::SingleSelection);
    connect(this, &QListWidget::itemClicked, this, &ChoiceList::choose);
    // Only an accessible select (or automation) selects: the row is chosen,
    // and unselected so that choosing it again is seen.
    followSelectedRow(this, this, [this](int row) {
        if (row < 0)
            return;
        QListWidgetItem *chosenRow = item(row);
        clearSelection();
        choose(chosenRow);
    });
}

QItemSelectionModel::SelectionFlags ChoiceList::selectionCommand(const QModelIndex &, const QEvent *) const
{
    return QItemSelectionModel::NoUpdate;
}

void ChoiceList::keyPressEvent(QKeyEvent *event)
{
    if (event->key() != Qt::Key_Return && event->key() != Qt::Key_Enter) {
        QListWidget::keyPressEvent(event);
        return;
    }
    // Not through `activated`, which a double click also sends after its two clicks.
    choose(currentItem());
    event->accept();
}

void ChoiceList::choose(QListWidgetItem *row)
{
    if (row && (row->flags() & Qt::ItemIsEnabled))
        Q_EMIT chosen(row);
}

} // namespace vima
