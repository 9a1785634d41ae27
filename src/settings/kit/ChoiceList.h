#pragma once

#include <QListWidget>

namespace vima {

// A list whose rows are commands, not a selection: a click, Return on the
// cursor's row and an accessible select each choose an enabled row once;
// the arrow keys and type-ahead only move the cursor. No row stays selected.
class ChoiceList final : public QListWidget {
    Q_OBJECT

public:
    explicit ChoiceList(QWidget *parent = nullptr);

Q_SIGNALS:
    void chosen(QListWidgetItem *row);

protected:
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex &index,
                                                         const QEvent *event = nullptr) const override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void choose(QListWidgetItem *row);
};

} // namespace vima
