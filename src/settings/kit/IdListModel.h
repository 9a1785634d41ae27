#pragma once

// A list model of rows keyed by UUID. Give it every new list of rows with
// setRows(): it turns the difference into removes, moves, inserts and
// dataChanged, so a view's selection, current index and scroll survive a
// configuration change. Keep selection as an id (selectedRingID,
// selectedItemID), never in the view's selection model, and find its row
// with rowOf().
//
//     model->setRows(rowsFrom(store.config()));   // e.g. from a ConfigStore::watch
//     // Qt::DisplayRole, Qt::DecorationRole, IdListModel::IdRole, or your own roles
//
// Row data is a role -> value map; IdRole answers the row's id. Rows that
// share an id are told apart by their order: the n-th of them stays the n-th.

#include <QAbstractListModel>
#include <QHash>
#include <QList>
#include <QUuid>
#include <QVariant>
#include <optional>

namespace vima {

class IdListModel final : public QAbstractListModel {
    Q_OBJECT

public:
    static constexpr int IdRole = Qt::UserRole + 100;

    struct Row {
        QUuid id;
        QHash<int, QVariant> data;

        bool operator==(const Row &) const = default;
    };

    using QAbstractListModel::QAbstractListModel;

    void setRows(const QList<Row> &rows);
    const QList<Row> &rows() const { return rows_; }
    std::optional<int> rowOf(const QUuid &id) const;
    QUuid idAt(int row) const;

    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

private:
    void removeSurplus(const QList<Row> &rows);
    void insertBlock(int target, const QList<Row> &rows);
    void placeRow(int target, const Row &row);
    std::optional<int> rowOf(const QUuid &id, int from) const;

    QList<Row> rows_;
};

} // namespace vima
