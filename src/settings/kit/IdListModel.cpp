#include "settings/kit/IdListModel.h"

#include <QSet>

namespace vima {

void IdListModel::setRows(const QList<Row> &rows)
{
    removeMissing(rows);
    for (int target = 0; target < rows.size(); ++target)
        placeRow(target, rows[target]);
}

// Back to front, so that the rows still to be looked at keep their index.
void IdListModel::removeMissing(const QList<Row> &rows)
{
    QSet<QUuid> kept;
    for (const Row &row : rows)
        kept.insert(row.id);
    for (int index = static_cast<int>(rows_.size()) - 1; index >= 0; --index) {
        if (kept.contains(rows_[index].id))
            continue;
        beginRemoveRows({}, index, index);
        rows_.removeAt(index);
        endRemoveRows();
    }
}

// Rows before `target` already match; bring `row` to `target` by moving it
// from further down, or by inserting it, then bring its data up to date.
void IdListModel::placeRow(int target, const Row &row)
{
    const std::optional<int> found = rowOf(row.id);
    if (!found) {
        beginInsertRows({}, target, target);
        rows_.insert(target, row);
        endInsertRows();
        return;
    }
    if (*found != target) {
        beginMoveRows({}, *found, *found, {}, target);
        rows_.move(*found, target);
        endMoveRows();
    }
    if (rows_[target].data != row.data) {
        rows_[target].data = row.data;
        const QModelIndex changed = index(target);
        Q_EMIT dataChanged(changed, changed);
    }
}

std::optional<int> IdListModel::rowOf(const QUuid &id) const
{
    for (int row = 0; row < rows_.size(); ++row)
        if (rows_[row].id == id)
            return row;
    return std::nullopt;
}

QUuid IdListModel::idAt(int row) const { return row >= 0 && row < rows_.size() ? rows_[row].id : QUuid(); }

int IdListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

QVariant IdListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= rows_.size())
        return {};
    const Row &row = rows_[index.row()];
    if (role == IdRole)
        return row.id;
    return row.data.value(role);
}

} // namespace vima
