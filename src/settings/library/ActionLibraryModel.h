#pragma once

#include "model/ActionPreset.h"
#include "model/Ring.h"
#include "services/InstalledApp.h"
#include "settings/library/CategoryFilter.h"

#include <QAbstractListModel>
#include <QSet>
#include <QUuid>
#include <optional>

namespace vima {

class ConfigStore;

// The action library sheet without its widgets: the sidebar's filter, the
// search, the ticks and both adds. As a list model it holds the visible
// entries, each group under its header row (no header when only one group
// shows); Qt::CheckStateRole reads and toggles the tick.
class ActionLibraryModel final : public QAbstractListModel {
    Q_OBJECT

public:
    enum Role {
        SummaryRole = Qt::UserRole + 1,
        IconRole,   // IconSpec
        BadgeRole,  // QString
        HeaderRole, // bool: a section header row
    };

    struct Section {
        ActionCategory category;
        QList<ActionPreset> presets;
    };

    // What an add could not place.
    struct Skipped {
        qsizetype count = 0;
        QString reason;
    };

    ActionLibraryModel(ConfigStore &store, const QUuid &ringID, QObject *parent = nullptr);

    const CategoryFilter &filter() const { return filter_; }
    void setFilter(const CategoryFilter &filter);
    const QString &query() const { return query_; }
    void setQuery(const QString &query);
    const QSet<QString> &selectedIDs() const { return selectedIDs_; }
    void toggleSelection(const QString &presetID);
    void setInstalledApps(const QList<InstalledApp> &apps);

    QList<ActionPreset> allPresets() const;
    QList<Section> sections() const;
    qsizetype count(const CategoryFilter &filter) const;
    Ring targetRing() const;
    qint64 targetSlotCount() const;
    QList<qint64> freeSlots() const;
    QList<ActionPreset> selectedPresets() const;
    QString statusText() const;
    bool canAdd() const;

    // Each ticked entry into a free slot, in library order.
    Skipped addToRing();
    // The ticked entries as one new pack in the lowest free slot; none when
    // nothing was ticked or no slot is free.
    std::optional<Skipped> addAsPack();
    // The skipped alert's informative text.
    static QString skippedText(const Skipped &skipped);

    static QString badge(const ActionPreset &preset);
    static ActionPreset appPreset(const InstalledApp &app);

    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

Q_SIGNALS:
    // The footer's text or the add buttons may read otherwise.
    void stateChanged();
    // The sidebar's counts changed (the scan delivered).
    void countsChanged();

private:
    struct Row {
        std::optional<ActionCategory> header;
        ActionPreset preset;
    };

    void rebuildRows();
    QString language() const;

    ConfigStore &store_;
    const QUuid ringID_;
    CategoryFilter filter_;
    QString query_;
    QSet<QString> selectedIDs_;
    QList<InstalledApp> installedApps_;
    QList<Row> rows_;
};

} // namespace vima
