#pragma once

#include "model/Ring.h"
#include "model/RingItem.h"
#include "settings/items/AppActionPickerModel.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QWidget>
#include <QString>
#include <QUuid>
#include <optional>



namespace vima {

class ApplicationCatalog;
class ConfigStore;

// The Items tab's view state (the edited ring, the selected item, the slot
// the next added item takes, the open sheet) and everything derived from it.
// Derived values are read afresh from the store's configuration on every call;
// the ids are the truth, a view's selection only mirrors them. Nothing here
// writes the configuration but the editor's own write.
class ItemsSettingsModel final : public QObject {
    Q_OBJECT

public:
    struct ActiveSheet {
        enum class Kind { buildPack, library, templates, appActions };
        Kind kind = Kind::library;
        qint64 slot = 0; // buildPack's

        // Sheets of the same identity are the same sheet.
        QString id() const;
        bool operator==(const ActiveSheet &) const = default;
    };

    enum class RingKind { page, appRing, pack };

    ItemsSettingsModel(ConfigStore &store, const ApplicationCatalog &catalog, QObject *parent = nullptr);

    ConfigStore &store() const { return store_; }
    const ApplicationCatalog &catalog() const { return catalog_; }
    // The window the tab's alerts are modal to.
    QPointer<QWidget> promptParent;

    const std::optional<QUuid> &selectedRingID() const { return selectedRingID_; }
    const std::optional<QUuid> &selectedItemID() const { return selectedItemID_; }
    const std::optional<qint64> &addAtSlot() const { return addAtSlot_; }
    const std::optional<ActiveSheet> &activeSheet() const { return activeSheet_; }

    // Edits that ring, with nothing selected.
    void selectRing(const QUuid &ringID);
    void selectItem(const std::optional<QUuid> &itemID);
    void setAddAtSlot(const std::optional<qint64> &slot);
    void setActiveSheet(const std::optional<ActiveSheet> &sheet);
    // Opens a sheet; the per-app action picker only for a selected launch-app item.
    void requestSheet(const ActiveSheet &sheet);

    qsizetype editedRingIndex() const;
    bool isEditedRingStored() const;
    // The stored ring, else an unstored "Default" page (the same id for the
    // life of the tab).
    Ring editedRing() const;
    RingKind editedRingKind() const;
    // Its own slot count, else the global one, bounded as Ring::capacity.
    qint64 editedRingCapacity() const;
    bool isEditedRingFull() const;
    std::optional<qsizetype> selectedItemIndex() const;
    std::optional<RingItem> selectedItem() const;
    qint64 firstFreeSlot() const;
    // The edited ring's items by slot; equal slots keep their stored order.
    QList<RingItem> listedItems() const;
    // The preview's highlight: the selected item's slot, when the ring shows it.
    std::optional<int> highlightedSlot() const;
    QString slotCountText() const;

    // Fills what is still empty, each time the tab is shown.
    void seedSelection();
    // Up (-1) and Down (+1) in the item list.
    void moveSelection(int delta);
    // The first item left in slot order, else nothing.
    void selectFirstItem();

    // What the sheets are opened with.
    QString buildPackParentName() const;
    std::optional<AppActionPickerModel::Target> appActionsTarget() const;
    // The pack builder made an item that opens its new pack.
    void packCommitted(const QUuid &openerItemID);
    // The per-app action picker replaced the launch-app item.
    void appActionsCreated(const RingItem &item);

    // The item editor's write: replaces the item with that id in the edited
    // ring; an id no longer there writes nothing.
    void writeEditedItem(const RingItem &item);

    // A ring's or an item's name as lists, menus and headers show it: bounded.
    static QString displayName(const QString &name);
    static RingKind kindOf(const Ring &ring);

Q_SIGNALS:
    void selectionChanged();
    void addAtSlotChanged();
    void activeSheetChanged();

private:
    void setSelection(const std::optional<QUuid> &ringID, const std::optional<QUuid> &itemID);

    ConfigStore &store_;
    const ApplicationCatalog &catalog_;
    const QUuid unstoredRingID_ = QUuid::createUuid();
    std::optional<QUuid> selectedRingID_;
    std::optional<QUuid> selectedItemID_;
    std::optional<qint64> addAtSlot_;
    std::optional<ActiveSheet> activeSheet_;
};

} // namespace vima
