#pragma once

#include "model/Ring.h"

#include <QCoroTask>
#include <QList>
#include <QObject>
#include <QString>
#include <QUuid>
#include <optional>

namespace vima {

class ItemsSettingsModel;
class UiPrompts;

// The Items tab's ring picker and ring menu: what they offer, read afresh
// from the configuration, and the ring operations they start. Refusals beep
// and alert through the prompts; after each prompt the ring is found again by id.
class RingOperations final : public QObject {
    Q_OBJECT

public:
    struct PickerEntry {
        QUuid ringID;
        QString label;
        bool checked = false;
        std::optional<QString> appBundleID; // app rings show the application's icon
    };
    struct PickerSection {
        QString title;
        QList<PickerEntry> entries;
    };
    // Which ring-menu entries show, and which of them are enabled.
    struct Menu {
        bool addEmptyPack = false;
        bool pageEntries = false; // Rename…, Move Up, Move Down
        bool canMoveUp = false;
        bool canMoveDown = false;
        bool deletePage = false;
        bool ringEntries = false; // Rename…, Delete Ring
        bool manageSavedPacks = false;
    };
    struct SlotEntry {
        QString label;
        std::optional<qint64> count; // none: the global count
        bool checked = false;
        std::optional<QString> refusal; // why it is disabled
    };
    struct AppRingInfo {
        QString bundleID;
        std::optional<QString> appName; // none: not installed
        QString caption;
    };

    RingOperations(ItemsSettingsModel &model, UiPrompts &prompts, QObject *parent = nullptr);

    QList<PickerSection> pickerSections() const;
    Menu menu() const;
    QList<SlotEntry> slotEntries() const;
    std::optional<AppRingInfo> appRingInfo() const;

    void addPage();
    QCoro::Task<> addAppRing();
    QCoro::Task<> renameRing();
    bool canMoveRing(int delta) const;
    void moveRing(int delta);
    QCoro::Task<> deleteRing();
    void setSlotCountOverride(std::optional<qint64> count);

    // The confirmation deleting `ring` needs; none when nothing would be lost.
    struct Question {
        QString message;
        QString informativeText;
    };
    std::optional<Question> deleteQuestion(const Ring &ring) const;

private:
    void appendAndSelect(const Ring &ring);

    ItemsSettingsModel &model_;
    UiPrompts &prompts_;
};

} // namespace vima
