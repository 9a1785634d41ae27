#pragma once

#include <QWidget>

class QMenu;
class QToolButton;

namespace vima {

class ElidedLabel;
class IconTile;
class ItemsSettingsModel;
class RingOperations;
class SymbolIcon;
class ToneLabel;
struct SettingsContext;

// The top of the Items tab's left column: the ring picker and the ring menu
// in one row and, for an app ring, the block naming its application. Both
// menus are built afresh from the live configuration each time they open.
class RingHeader final : public QWidget {
    Q_OBJECT

public:
    // Past this the page picker scrolls.
    static constexpr int pickerMenuHeight = 420;

    RingHeader(ItemsSettingsModel &model, RingOperations &rings, SettingsContext &context, QWidget *parent = nullptr);

    QToolButton *picker() const { return picker_; }
    QToolButton *ringMenuButton() const { return menuButton_; }
    QMenu *pickerMenu() const { return pickerMenu_; }
    QMenu *ringMenu() const { return ringMenu_; }

    void refresh();

Q_SIGNALS:
    // "Add an Empty Pack" in the ring menu.
    void addEmptyPackRequested();

private:
    QWidget *buildRow();
    QWidget *buildAppBlock();
    void fillPicker();
    void fillRingMenu();
    void fillSlotsMenu(QMenu *menu);
    void refreshAppBlock();

    ItemsSettingsModel &model_;
    RingOperations &rings_;
    SettingsContext &context_;
    QToolButton *picker_ = nullptr;
    ElidedLabel *pickerName_ = nullptr;
    QMenu *pickerMenu_ = nullptr;
    QToolButton *menuButton_ = nullptr;
    QMenu *ringMenu_ = nullptr;
    QWidget *appDivider_ = nullptr;
    QWidget *appBlock_ = nullptr;
    IconTile *appIcon_ = nullptr;
    ToneLabel *appName_ = nullptr;
    ElidedLabel *bundleID_ = nullptr;
    ToneLabel *appCaption_ = nullptr;
};

} // namespace vima
