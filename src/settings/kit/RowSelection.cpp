#include "settings/kit/RowSelection.h"

#include <QAbstractItemView>
#include <QItemSelectionModel>

namespace vima {

void followSelectedRow(QAbstractItemView *view, const QObject *context, std::function<void(int row)> selected)
{
    QItemSelectionModel *selection = view->selectionModel();
    QObject::connect(selection, &QItemSelectionModel::selectionChanged, context,
                     [selection, selected = std::move(selected)](const QItemSelection &now) {
                         const QModelIndexList rows = now.indexes();
                         if (!rows.isEmpty()) {
                             selection->setCurrentIndex(rows.constLast(), QItemSelectionModel::NoUpdate);
                             selected(rows.constLast().row());
                         } else if (!selection->hasSelection()) {
                             selected(-1);
                         }
                     });
}

int selectedRow(const QAbstractItemView *view)
{
    const QModelIndexList rows = view->selectionModel()->selectedIndexes();
    return rows.isEmpty() ? -1 : rows.constFirst().row();
}

} // namespace vima
