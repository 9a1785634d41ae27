#pragma once

#include "model/IconSpec.h"
#include "model/ItemAction.h"
#include "model/RingItem.h"
#include "model/SavedGroup.h"
#include "settings/items/AddItemChoice.h"

#include <QCoroTask>
#include <QList>
#include <QObject>
#include <QString>
#include <QUuid>
#include <optional>

namespace vima {

class ItemsSettingsModel;
class UiPrompts;

// What the Items tab does to the edited ring's slots: adding new items, packs,
// saved packs and the built-in AI actions, removing the selected item with
// the packs it alone opened, moving it to another slot, and what a click on a
// slot of the preview means. A full ring refuses additions with a beep and
// an alert, and nothing changes.
class SlotOperations final : public QObject {
    Q_OBJECT

public:
    using Kind = ItemAction::Kind;

    SlotOperations(ItemsSettingsModel &model, UiPrompts &prompts, QObject *parent = nullptr);

    // The "+" menu's label of a kind.
    static QString menuLabel(Kind kind);
    // A new item of `kind` as the tab adds it (not for openRing).
    static RingItem newItem(Kind kind, qint64 slot);

    // Without a slot, the lowest free one.
    QCoro::Task<> addNewAction(Kind kind, std::optional<qint64> slot = {});
    QCoro::Task<> addEmptyPack(std::optional<qint64> slot = {});
    QCoro::Task<> insertSavedPack(SavedGroup group, std::optional<qint64> slot = {});
    QCoro::Task<> addAllBuiltInAIActions();
    QCoro::Task<> removeSelectedItem();

    // A click on the preview: selects the slot's item, else offers to add there.
    void selectSlot(qint64 slot);
    void assignSlot(qint64 slot);
    void saveRingAsSavedPack(const QUuid &ringID, const IconSpec &icon);

    // The add-item chooser's choice for `slot`; the chooser is gone first.
    void choose(const AddItemChoice &choice, qint64 slot);

private:
    // The full ring's beep and alert.
    QCoro::Task<> refuseFull();

    ItemsSettingsModel &model_;
    UiPrompts &prompts_;
};

} // namespace vima
