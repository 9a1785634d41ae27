#pragma once

#include "model/ActionPreset.h"
#include "model/Ring.h"
#include "model/SavedGroup.h"
#include "platform/UiPrompts.h"
#include "services/InstalledApp.h"
#include "settings/library/AppScan.h"

#include <QObject>
#include <QUuid>
#include <functional>
#include <optional>

namespace vima {

class ConfigStore;
class SystemBeep;

// The pack builder without its widgets: the pack being built, its add panel's
// pages and adds, and both commits. Nothing reaches the store before "Save as
// pack" or "Done".
class PackBuilderModel final : public QObject {
    Q_OBJECT

public:
    enum class AddPage { root, library, apps };

    struct Opening {
        QUuid parentRingID;
        QString parentName;
        qint64 slot = 0;
        std::function<void(const QUuid &openerItemID)> onCommit;
    };

    struct LibrarySection {
        ActionCategory category;
        QList<ActionPreset> presets;
    };

    static const QStringList &iconChoices();
    static bool needsTarget(const RingItem &item);
    static constexpr int maxChildSlots = 12;
    static constexpr int maxListedApps = 60;

    PackBuilderModel(ConfigStore &store, SystemBeep &beep, Opening opening, AppScan scan, QObject *parent = nullptr);

    const Opening &opening() const { return opening_; }
    const QString &name() const { return name_; }
    QString displayName() const; // "Pack" for an empty name
    void setName(const QString &name);
    const IconSpec &icon() const { return icon_; }
    void setIcon(const IconSpec &icon);
    const QList<RingItem> &items() const { return items_; }
    int childSlots() const { return childSlots_; }
    int minimumChildSlots() const;
    void setChildSlots(int count);
    bool isFull() const { return items_.size() >= childSlots_; }
    std::optional<qint64> pendingSlot() const { return pendingSlot_; }
    bool savedFlash() const { return savedFlash_; }
    const QList<Ring> &pendingChildRings() const { return pendingChildRings_; }

    Ring previewRing() const;
    std::optional<qint64> nextFreeSlot() const;
    QList<RingItem> itemsNeedingTarget() const;
    bool canCommit() const { return !items_.isEmpty() && itemsNeedingTarget().isEmpty(); }
    QString summaryText() const;
    QString warningText() const; // empty when every item has its target
    QString saveButtonTitle() const;

    // Editing one row.
    void setItemTitle(const QUuid &itemID, const QString &title);
    void setTargetText(const QUuid &itemID, const QString &text);
    void chooseApplication(const QUuid &itemID, const ChosenApplication &app);
    void removeItem(const QUuid &itemID);

    // Opening the add panel.
    void previewClicked(qint64 slot);
    void openAddPanel();
    bool showAdd() const { return showAdd_; }
    void closeAddPanel();

    // The add panel.
    AddPage addPage() const { return addPage_; }
    void showRootPage();
    void showLibraryPage();
    // Scans for applications while it has none.
    void showAppsPage();
    const QString &libQuery() const { return libQuery_; }
    void setLibQuery(const QString &query);
    const QString &appQuery() const { return appQuery_; }
    void setAppQuery(const QString &query);
    const QList<InstalledApp> &installedApps() const { return installedApps_; }
    // A scan has started and not yet ended.
    bool isScanning() const { return scansRunning_ > 0; }
    // Sorted by name, code point by code point; equal names keep the scan's order.
    void setInstalledApps(QList<InstalledApp> apps);
    const std::optional<InstalledApp> &selectedApp() const { return selectedApp_; }
    void setSelectedApp(const std::optional<InstalledApp> &app);
    QList<LibrarySection> librarySections() const;
    QList<InstalledApp> filteredApps() const;
    QList<RingItem> appShortcuts() const;

    void addItemOfKind(ItemAction::Kind kind);
    void addNestedPack();
    void addFromSavedGroup(const SavedGroup &group);
    void addLibraryPreset(const ActionPreset &preset);
    void addAppShortcut(const RingItem &item);

    void saveAsGroup();
    // Installs the pack and its opener; true when it did.
    bool commit();

Q_SIGNALS:
    // An item came or went: rows are rebuilt.
    void itemsChanged();
    // Anything else shown changed.
    void changed();
    void addPanelChanged();

private:
    QString language() const;
    QCoro::Task<> scanInstalledApps();
    qint64 takeSlotForNewKind();
    void append(RingItem item, qint64 slot);
    QList<Ring> referencedPendingRings() const;
    void editItem(const QUuid &itemID, const std::function<void(RingItem &)> &change);

    ConfigStore &store_;
    SystemBeep &beep_;
    const Opening opening_;
    const AppScan scan_;
    QString name_ = QStringLiteral("New pack");
    IconSpec icon_ = IconSpec::symbol(QStringLiteral("circle.grid.cross"));
    QList<RingItem> items_;
    int childSlots_ = 6;
    bool showAdd_ = false;
    std::optional<qint64> pendingSlot_;
    bool savedFlash_ = false;
    AddPage addPage_ = AddPage::root;
    QString libQuery_;
    QString appQuery_;
    QList<InstalledApp> installedApps_;
    int scansRunning_ = 0;
    std::optional<InstalledApp> selectedApp_;
    QList<Ring> pendingChildRings_;
    const QUuid childRingID_ = QUuid::createUuid();
};

} // namespace vima
