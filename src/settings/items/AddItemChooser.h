#pragma once

#include "settings/items/AddItemChoice.h"

#include <QFrame>

class QVBoxLayout;

namespace vima {

class ItemsSettingsModel;
class RingPreviewView;
class SlotOperations;
struct SettingsContext;

// The popup that fills one empty slot, beside the ring preview: a new pack,
// the library, a single action of each kind, or a saved pack. It is shown
// while the tab's addAtSlot is set; hiding it, by a choice or otherwise,
// clears addAtSlot.
class AddItemChooser final : public QFrame {
    Q_OBJECT

public:
    static constexpr int width = 288;

    AddItemChooser(ItemsSettingsModel &model, SlotOperations &slots, SettingsContext &context,
                   QWidget *parent = nullptr);

    // Fills the rows for `slot` and shows them beside its slice of `preview`.
    void showFor(qint64 slot, RingPreviewView *preview);
    qint64 slot() const { return slot_; }

protected:
    void hideEvent(QHideEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void fill();
    QWidget *choiceRow(const AddItemChoice &choice);
    void place(RingPreviewView *preview);

    ItemsSettingsModel &model_;
    SlotOperations &slots_;
    SettingsContext &context_;
    QVBoxLayout *rows_;
    qint64 slot_ = 0;
};

} // namespace vima
