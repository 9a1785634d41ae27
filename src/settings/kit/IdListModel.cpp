#include "settings/kit/IdListModel.h"

#include <algorithm>

namespace vima {

void IdListModel::setRows(const QList<Row> &rows)
{
    removeSurplus(rows);
    // Of each id, how many rows at or after the one being placed are left to place.
    QHash<QUuid, qsizetype> unplaced;
    for (const Row &row : std::as_const(rows_))
        ++unplaced[row.id];
    for (int target = 0; target < rows.size();) {
        if (qsizetype &left = unplaced[rows[target].id]; left > 0) {
            --left;
            placeRow(target, rows[target]);
            ++target;
            continue;
        }
        // New rows one after another go in at once: a first fill is one insert.
        int end = target + 1;
        while (end < rows.size() && unplaced.value(rows[end].id) == 0)
            ++end;
        insertBlock(target, rows.mid(target, end - target));
        target = end;
    }
}

// Of each id, keeps as many rows as `rows` has, the first ones. Back to
// front, a run of rows at a time, so that the rows still to be looked at
// keep their index.
void IdListModel::removeSurplus(const QList<Row> &rows)
{
    QHash<QUuid, qsizetype> wanted;
    for (const Row &row : rows)
        ++wanted[row.id];
    QList<bool> kept(rows_.size());
    for (qsizetype index = 0; index < rows_.size(); ++index)
        kept[index] = wanted[rows_[index].id]-- > 0;
    for (int last = int(rows_.size()) - 1; last >= 0; --last) {
        if (kept[last])
            continue;
        int first = last;
        while (first > 0 && !kept[first - 1])
            --first;
        beginRemoveRows({}, first, last);
        rows_.remove(first, last - first + 1);
        endRemoveRows();
        last = first;
    }
}

void IdListModel::insertBlock(int target, const QList<Row> &rows)
{
    beginInsertRows({}, target, target + int(rows.size()) - 1);
    rows_.insert(target, rows.size(), Row());
    std::copy(rows.cbegin(), rows.cend(), rows_.begin() + target);
    endInsertRows();
}

// Rows before `target` already match, and a row of `row`'s id is at or after
// it: brought to `target` (the next of its id, so rows of one id keep their
// order), then its data brought up to date.
void IdListModel::placeRow(int target, const Row &row)
{
    const int found = *rowOf(row.id, target);
    if (found != target) {
        beginMoveRows({}, found, found, {}, target);
        rows_.move(found, target);
        endMoveRows();
    }
    if (rows_[target].data != row.data) {
        rows_[target].data = row.data;
        const QModelIndex changed = index(target);
        Q_EMIT dataChanged(changed, changed);
    }
}

std::optional<int> IdListModel::rowOf(const QUuid &id) const { return rowOf(id, 0); }

std::optional<int> IdListModel::rowOf(const QUuid &id, int from) const
{
    for (int row = from; row < rows_.size(); ++row)
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
