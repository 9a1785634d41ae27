#pragma once

#include <QListView>

namespace vima {

// A list whose selection is its model's ticks (Qt::CheckStateRole): a click,
// Space and an assistive tool's toggle all select or deselect a row, and each
// such change is written to the model, which stays the one owner of the tick.
// The current row carries the highlight instead of the selection.
class TickList final : public QListView {
    Q_OBJECT

public:
    explicit TickList(QAbstractItemModel *model, QWidget *parent = nullptr);

    // Ctrl+A would tick every row at once; ticks go one at a time.
    void selectAll() override {}

protected:
    // Only a press or Space toggles: a drag across rows, a release or the
    // current row moved by the program or by focus ticks nothing.
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex &index,
                                                         const QEvent *event = nullptr) const override;

private:
    void writeTicks(const QItemSelection &selected, const QItemSelection &deselected);
    void showTicks(int first, int last);
};

} // namespace vima
