#pragma once

#include "model/Ring.h"
#include "model/RingItem.h"

#include <QCoroTask>
#include <QList>
#include <QMap>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QUuid>
#include <functional>
#include <optional>

namespace vima {

class ApplicationCatalog;
class Scheduler;
struct ChosenApplication;

// The rules of the slot editor, without widgets: it holds the item as last
// shown, turns each user action into one edited item (always starting from
// that item), and derives what the form shows.
class ItemEditorModel final : public QObject {
    Q_OBJECT

public:
    using Kind = ItemAction::Kind;
    using Chooser = std::function<QCoro::Task<std::optional<ChosenApplication>>()>;

    // What the pack section shows about the pack its item opens.
    struct PackInfo {
        bool exists = false;
        QString name;      // "Untitled" for an empty name
        QString itemCount; // "3 items", "1 item"
    };

    ItemEditorModel(const ApplicationCatalog &catalog, Scheduler &scheduler,
                    QObject *parent = nullptr);
    ~ItemEditorModel() override;

    // The callbacks the host gives.
    std::function<void(qint64 slot)> onAssignSlot;
    std::function<void(const QUuid &ringID)> onEditSubRing;
    std::function<void(const QUuid &ringID, const IconSpec &icon)> onSaveAsTemplate;
    std::function<void()> onTurnIntoSubRing;
    // Picks an installed application; nothing when the user cancels.
    Chooser chooseApplication;

    const RingItem &item() const { return item_; }
    // Shows `item`; emits changed() when it differs, sectionChanged() when its
    // kind or its id differs. Never emits itemEdited(). Another item ends the
    // editing session: the payloads kept by kind switches are forgotten.
    void setItem(const RingItem &item);
    qint64 slotCount() const { return slotCount_; }
    // A negative count offers no slot, one above Ring::maxSlotCount that many.
    void setSlotCount(qint64 count);
    const QString &defaultLanguage() const { return defaultLanguage_; }
    void setDefaultLanguage(const QString &language);
    const QList<Ring> &subRings() const { return subRings_; }
    void setSubRings(const QList<Ring> &rings);
    bool didSaveTemplate() const { return didSaveTemplate_; }

    // Derived for the form.
    QString headerTitle() const;
    Kind kind() const { return item_.action.kind(); }
    // The kind picker's options, in order.
    QList<Kind> offeredKinds() const;
    QStringList slotLabels() const;
    bool showsUnknownSymbol() const;
    PackInfo packInfo() const;
    bool canTurnIntoPack() const;
    // Whether this system runs an AppleScript item's script, in a sentence.
    QString appleScriptNote() const;

    static QString kindLabel(Kind kind);
    static const QStringList &commonSymbols();
    static QString itemCountText(qsizetype count);
    static IconSpec defaultIcon(IconSpec::Kind kind);

    // User actions of the frame: each emits itemEdited() at most once.
    void setTitle(const QString &title);
    // Asks the host; the slot shown follows the item, not the request.
    void assignSlot(qint64 slot);
    // A kind switched away from and back to in one session gets back the
    // payload it had; a kind not had before starts from its default action.
    void changeKind(Kind kind);
    void pickIconKind(IconSpec::Kind kind);
    void setSymbolName(const QString &name);
    void setEmoji(const QString &text);
    void setIconBundleID(const QString &bundleID);
    QCoro::Task<> chooseIconApp();

    // User actions of the kind sections.
    void setLaunchBundleID(const QString &text);
    void setLaunchPath(const QString &text);
    QCoro::Task<> chooseAppForLaunch();
    void setOpenTarget(const QString &target);
    void setShell(const QString &shell);
    void setScript(const QString &script);
    void setShellShowsOutput(bool show);
    void setAppleScriptSource(const QString &source);
    void setAppleScriptShowsOutput(bool show);
    void setSystemPrompt(const QString &prompt);
    void setResultHandling(ResultHandling handling);
    void setTargetLanguage(const QString &text);
    void setNeedsStrongModel(bool needs);
    void setModelOverride(const QString &text);
    void setPackTarget(const QUuid &ringID);
    void editSubRing();
    void saveAsPack();
    void turnIntoSubRing();

    // The title after choosing the application `appName`, given the bundle
    // identifier set before the choice.
    QString autoTitleForApp(const QString &title, const QString &appName,
                            const std::optional<QString> &previousBundleID) const;
    static bool iconFollowsApp(const IconSpec &icon, const std::optional<QString> &previousBundleID);

Q_SIGNALS:
    // One per user action that changed the item, carrying the whole item.
    void itemEdited(const vima::RingItem &item);
    // The item, the packs or the confirmation changed: refresh in place.
    void changed();
    // The kind or the item changed: the kind's section is built anew.
    void sectionChanged();

private:
    // Applies `edit` to a copy of the current item and publishes it.
    void edit(const std::function<void(RingItem &)> &edit);
    template<typename Payload>
    void editPayload(const std::function<void(Payload &)> &edit);
    void hideSavedConfirmation();

    const ApplicationCatalog &catalog_;
    Scheduler &scheduler_;
    RingItem item_;
    QMap<Kind, ItemAction> earlierActions_;
    qint64 slotCount_ = 0;
    QString defaultLanguage_;
    QList<Ring> subRings_;
    bool didSaveTemplate_ = false;
    QList<quint64> hideTimers_;
};

} // namespace vima
