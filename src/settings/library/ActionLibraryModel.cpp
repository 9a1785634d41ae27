#include "settings/library/ActionLibraryModel.h"

#include "ring/RingText.h"
#include "store/ConfigStore.h"

#include <algorithm>

namespace vima {

namespace {

QString plural(qint64 count, const QString &word)
{
    return QString::number(count) + u' ' + word + (count == 1 ? QString() : QStringLiteral("s"));
}

} // namespace

ActionLibraryModel::ActionLibraryModel(ConfigStore &store, const QUuid &ringID, QObject *parent)
    : QAbstractListModel(parent), store_(store), ringID_(ringID)
{
    connect(&store_, &ConfigStore::configChanged, this, &ActionLibraryModel::stateChanged);
    rebuildRows();
}

void ActionLibraryModel::setFilter(const CategoryFilter &filter)
{
    if (filter == filter_)
        return;
    filter_ = filter;
    rebuildRows();
}

void ActionLibraryModel::setQuery(const QString &query)
{
    if (query == query_)
        return;
    query_ = query;
    rebuildRows();
}

void ActionLibraryModel::toggleSelection(const QString &presetID)
{
    if (!selectedIDs_.remove(presetID))
        selectedIDs_.insert(presetID);
    for (qsizetype row = 0; row < rows_.size(); ++row) {
        if (!rows_[row].header && rows_[row].preset.id == presetID)
            Q_EMIT dataChanged(index(int(row)), index(int(row)), {Qt::CheckStateRole});
    }
    Q_EMIT stateChanged();
}

void ActionLibraryModel::setInstalledApps(const QList<InstalledApp> &apps)
{
    installedApps_ = apps;
    rebuildRows();
    Q_EMIT countsChanged();
}

ActionPreset ActionLibraryModel::appPreset(const InstalledApp &app)
{
    ActionPreset preset;
    preset.id = QStringLiteral("app.") + app.bundleID;
    preset.title = app.name;
    preset.summary = app.bundleID;
    preset.icon = IconSpec::appIcon(app.bundleID);
    preset.category = ActionCategory::apps;
    preset.keywords = {app.bundleID};
    preset.action = ItemAction{LaunchAppPayload{app.bundleID, app.path}};
    return preset;
}

QList<ActionPreset> ActionLibraryModel::allPresets() const
{
    QList<ActionPreset> presets = ActionPreset::all();
    presets.reserve(presets.size() + installedApps_.size());
    for (const InstalledApp &app : installedApps_)
        presets.append(appPreset(app));
    return presets;
}

QList<ActionLibraryModel::Section> ActionLibraryModel::sections() const
{
    const QList<ActionPreset> presets = allPresets();
    QList<Section> result;
    for (ActionCategory category : allActionCategories()) {
        if (filter_.category && *filter_.category != category)
            continue;
        Section section{category, {}};
        for (const ActionPreset &preset : presets) {
            if (preset.category == category && preset.matches(query_))
                section.presets.append(preset);
        }
        if (!section.presets.isEmpty())
            result.append(section);
    }
    return result;
}

qsizetype ActionLibraryModel::count(const CategoryFilter &filter) const
{
    const QList<ActionPreset> presets = allPresets();
    if (!filter.category)
        return presets.size();
    return std::count_if(presets.cbegin(), presets.cend(),
                         [&](const ActionPreset &preset) { return preset.category == *filter.category; });
}

Ring ActionLibraryModel::targetRing() const
{
    const VimaConfig &config = store_.config();
    return config.ringWithID(ringID_).value_or(config.primaryRing());
}

qint64 ActionLibraryModel::targetSlotCount() const
{
    return targetRing().capacity(store_.config().slotCount);
}

QList<qint64> ActionLibraryModel::freeSlots() const
{
    const Ring ring = targetRing();
    QList<qint64> free;
    for (qint64 slot = 0; slot < targetSlotCount(); ++slot) {
        if (!ring.itemInSlot(slot))
            free.append(slot);
    }
    return free;
}

QList<ActionPreset> ActionLibraryModel::selectedPresets() const
{
    QList<ActionPreset> selected;
    for (const ActionPreset &preset : allPresets()) {
        if (selectedIDs_.contains(preset.id))
            selected.append(preset);
    }
    return selected;
}

QString ActionLibraryModel::statusText() const
{
    return QString::number(selectedIDs_.size()) + QStringLiteral(" selected · ")
        + plural(freeSlots().size(), QStringLiteral("slot")) + QStringLiteral(" free");
}

bool ActionLibraryModel::canAdd() const
{
    return !selectedIDs_.isEmpty() && !freeSlots().isEmpty();
}

QString ActionLibraryModel::language() const
{
    return store_.config().ai.defaultTargetLanguage;
}

ActionLibraryModel::Skipped ActionLibraryModel::addToRing()
{
    const QList<ActionPreset> selected = selectedPresets();
    const QList<qint64> free = freeSlots();
    const QString targetLanguage = language();
    const qsizetype placed = std::min(selected.size(), free.size());
    for (qsizetype i = 0; i < placed; ++i)
        store_.appendItem(selected[i].makeItem(free[i], targetLanguage), ringID_);
    return {selected.size() - placed, QStringLiteral("this ring has ") + plural(free.size(), QStringLiteral("free slot"))};
}

std::optional<ActionLibraryModel::Skipped> ActionLibraryModel::addAsPack()
{
    const QList<qint64> free = freeSlots();
    const QList<ActionPreset> selected = selectedPresets();
    if (free.isEmpty() || selected.isEmpty())
        return std::nullopt;
    const qint64 capacity = targetSlotCount();
    const QString targetLanguage = language();
    const QString name = filter_.packName();

    Ring pack;
    pack.id = QUuid::createUuid();
    pack.name = name;
    pack.isSubRing = true;
    // The cut follows the edited ring's count, so the pack shows that many slots.
    if (capacity != store_.config().slotCount)
        pack.slotCount = capacity;
    const qsizetype taken = std::min<qsizetype>(selected.size(), capacity);
    for (qsizetype k = 0; k < taken; ++k)
        pack.items.append(selected[k].makeItem(k, targetLanguage));
    store_.edit([&](VimaConfig &config) { config.rings.append(pack); });

    RingItem opener;
    opener.id = QUuid::createUuid();
    opener.title = name;
    opener.icon = IconSpec::symbol(QStringLiteral("ellipsis.circle"));
    opener.slot = free.first();
    opener.action = ItemAction{OpenRingPayload{pack.id}};
    store_.appendItem(opener, ringID_);
    return Skipped{selected.size() - taken, QStringLiteral("a ring holds ") + plural(capacity, QStringLiteral("item"))};
}

QString ActionLibraryModel::skippedText(const Skipped &skipped)
{
    return QString::number(skipped.count) + (skipped.count == 1 ? QStringLiteral(" action was") : QStringLiteral(" actions were"))
        + QStringLiteral(" skipped — ") + skipped.reason + u'.';
}

QString ActionLibraryModel::badge(const ActionPreset &preset)
{
    if (const auto *ai = std::get_if<AIPayload>(&preset.action.payload))
        return ai->resultHandling == ResultHandling::showPopover ? QStringLiteral("Shows result")
                                                                 : QStringLiteral("Replaces selection");
    return QStringLiteral("No AI needed");
}

void ActionLibraryModel::rebuildRows()
{
    beginResetModel();
    rows_.clear();
    const QList<Section> groups = sections();
    for (const Section &section : groups) {
        if (groups.size() > 1)
            rows_.append(Row{section.category, {}});
        for (const ActionPreset &preset : section.presets)
            rows_.append(Row{std::nullopt, preset});
    }
    endResetModel();
}

int ActionLibraryModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(rows_.size());
}

QVariant ActionLibraryModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= rows_.size())
        return {};
    const Row &row = rows_[index.row()];
    if (row.header) {
        switch (role) {
        case Qt::DisplayRole:
        case Qt::AccessibleTextRole:
            return title(*row.header);
        case HeaderRole:
            return true;
        default:
            return {};
        }
    }
    const ActionPreset &preset = row.preset;
    switch (role) {
    case Qt::DisplayRole:
    case Qt::AccessibleTextRole:
        return RingText::bounded(preset.title);
    case SummaryRole:
        return RingText::bounded(preset.summary);
    case IconRole:
        return QVariant::fromValue(preset.icon);
    case BadgeRole:
        return badge(preset);
    case HeaderRole:
        return false;
    case Qt::CheckStateRole:
        return selectedIDs_.contains(preset.id) ? Qt::Checked : Qt::Unchecked;
    default:
        return {};
    }
}

bool ActionLibraryModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (role != Qt::CheckStateRole || !index.isValid() || rows_[index.row()].header)
        return false;
    const ActionPreset &preset = rows_[index.row()].preset;
    const bool ticked = value.value<Qt::CheckState>() == Qt::Checked;
    if (ticked != selectedIDs_.contains(preset.id))
        toggleSelection(preset.id);
    return true;
}

Qt::ItemFlags ActionLibraryModel::flags(const QModelIndex &index) const
{
    if (!index.isValid() || rows_[index.row()].header)
        return Qt::ItemIsEnabled;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable;
}

} // namespace vima
