#pragma once

#include <QListView>

namespace vima {

class IdListModel;
class ItemsSettingsModel;
struct SettingsContext;

// The edited ring's items in slot order, one row per item keyed by its id.
// A click selects the row's item; Up and Down move the selection. The view's
// own selection only mirrors the tab's selected item.
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
    ItemsSettingsModel &model_;
    IdListModel *rows_;
};

} // namespace vima
