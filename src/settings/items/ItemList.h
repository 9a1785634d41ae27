#pragma once

#include "model/RingItem.h"
#include "settings/kit/IdListModel.h"

#include <QList>
#include <QListView>

namespace vima {

class ItemsSettingsModel;
struct SettingsContext;

// The edited ring's items in slot order, one row per item keyed by its id.
// Whatever selects a row (a click, Home, End, type-ahead, an accessible
// select) selects its item; Up and Down move the tab's selection. The view's
// own updates of its selection, which mirror the tab's selected item, write
// nothing.
class ItemList final : public QListView {
    Q_OBJECT

public:
    ItemList(ItemsSettingsModel &model, SettingsContext &context, QWidget *parent = nullptr);

    IdListModel &rows() const { return *rows_; }
    // Rows and selection from the tab's state.
    void refresh();

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    static QList<IdListModel::Row> rowsOf(const QList<RingItem> &items);
    void showSelection();
    void followSelection(int row);

    ItemsSettingsModel &model_;
    IdListModel *rows_;
    // The items last shown, and their rows with none marked selected.
    QList<RingItem> listed_;
    QList<IdListModel::Row> unmarked_;
    bool refreshing_ = false;
};

} // namespace vima
