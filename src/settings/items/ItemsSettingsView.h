#pragma once

#include "settings/items/ItemsSheetFactory.h"

#include <QWidget>

class QMenu;
class QSplitter;
class QToolButton;

namespace vima {

class ItemDetailPane;
class ItemList;
class ItemsSettingsModel;
class ItemsSheetPresenter;
class RingHeader;
class RingOperations;
class SlotOperations;
class ToneLabel;
struct SettingsContext;

// The Items tab: the edited ring's header, its items and the add and remove
// controls on the left; its preview and the selected item's editor on the
// right. Built afresh, with nothing selected, each time the tab is shown; it
// fills its selection when shown and follows the configuration in place.
class ItemsSettingsView final : public QWidget {
    Q_OBJECT

public:
    explicit ItemsSettingsView(SettingsContext &context, ItemsSheetFactory sheets = itemsSheetFactory(),
                               QWidget *parent = nullptr);
    ~ItemsSettingsView() override;

    ItemsSettingsModel &model() const { return *model_; }
    RingOperations &rings() const { return *rings_; }
    SlotOperations &slots() const { return *slots_; }
    RingHeader *header() const { return header_; }
    ItemList *list() const { return list_; }
    ItemDetailPane *detail() const { return detail_; }
    ItemsSheetPresenter &sheets() const { return *sheets_; }
    QMenu *addMenu() const { return addMenu_; }
    QToolButton *removeButton() const { return removeButton_; }

protected:
    void showEvent(QShowEvent *event) override;

private:
    QWidget *buildLeftColumn();
    QWidget *buildFooter();
    void fillAddMenu();
    void refresh();

    SettingsContext &context_;
    ItemsSettingsModel *model_;
    RingOperations *rings_;
    SlotOperations *slots_;
    ItemsSheetPresenter *sheets_;
    QSplitter *splitter_ = nullptr;
    RingHeader *header_ = nullptr;
    ItemList *list_ = nullptr;
    QMenu *addMenu_ = nullptr;
    QToolButton *removeButton_ = nullptr;
    ToneLabel *slotCount_ = nullptr;
    ItemDetailPane *detail_ = nullptr;
};

} // namespace vima
