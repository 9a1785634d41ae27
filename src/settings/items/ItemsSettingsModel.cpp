#include "settings/items/ItemsSettingsModel.h"

#include "settings/kit/ShownName.h"
#include "store/AppDisplayName.h"
#include "store/ConfigStore.h"

#include <algorithm>

namespace vima {

QString ItemsSettingsModel::ActiveSheet::id() const
{
    switch (kind) {
    case Kind::buildPack: return QStringLiteral("buildPack-%1").arg(slot);
    case Kind::library: return QStringLiteral("library");
    case Kind::templates: return QStringLiteral("templates");
    case Kind::appActions: return QStringLiteral("appActions");
    }
    Q_UNREACHABLE();
}

ItemsSettingsModel::ItemsSettingsModel(ConfigStore &store, const ApplicationCatalog &catalog, QObject *parent)
    : QObject(parent)
    , store_(store)
    , catalog_(catalog)
{
}

QString ItemsSettingsModel::displayName(const QString &name)
{
    return shownName(name);
}

ItemsSettingsModel::RingKind ItemsSettingsModel::kindOf(const Ring &ring)
{
    if (ring.isSubRing)
        return RingKind::pack;
    return ring.bundleIDMatch ? RingKind::appRing : RingKind::page;
}

void ItemsSettingsModel::setSelection(const std::optional<QUuid> &ringID, const std::optional<QUuid> &itemID)
{
    if (ringID == selectedRingID_ && itemID == selectedItemID_)
        return;
    selectedRingID_ = ringID;
    selectedItemID_ = itemID;
    Q_EMIT selectionChanged();
}

void ItemsSettingsModel::selectRing(const QUuid &ringID) { setSelection(ringID, std::nullopt); }

void ItemsSettingsModel::selectItem(const std::optional<QUuid> &itemID) { setSelection(selectedRingID_, itemID); }

void ItemsSettingsModel::setAddAtSlot(const std::optional<qint64> &slot)
{
    if (slot == addAtSlot_)
        return;
    addAtSlot_ = slot;
    Q_EMIT addAtSlotChanged();
}

void ItemsSettingsModel::setActiveSheet(const std::optional<ActiveSheet> &sheet)
{
    if (sheet == activeSheet_)
        return;
    activeSheet_ = sheet;
    Q_EMIT activeSheetChanged();
}

void ItemsSettingsModel::requestSheet(const ActiveSheet &sheet)
{
    // A picker with no launch-app item to convert would be an empty sheet
    // with nothing to close it by.
    if (sheet.kind == ActiveSheet::Kind::appActions && !appActionsTarget())
        return;
    setActiveSheet(sheet);
}

qsizetype ItemsSettingsModel::editedRingIndex() const
{
    const QList<Ring> &rings = store_.config().rings;
    if (selectedRingID_) {
        if (const auto index = store_.ringIndex(*selectedRingID_))
            return *index;
    }
    const auto page = std::find_if(rings.cbegin(), rings.cend(),
                                   [](const Ring &ring) { return kindOf(ring) == RingKind::page; });
    return page == rings.cend() ? 0 : page - rings.cbegin();
}

bool ItemsSettingsModel::isEditedRingStored() const
{
    return editedRingIndex() < store_.config().rings.size();
}

Ring ItemsSettingsModel::editedRing() const
{
    const qsizetype index = editedRingIndex();
    const QList<Ring> &rings = store_.config().rings;
    if (index < rings.size())
        return rings.at(index);
    Ring unstored;
    unstored.id = unstoredRingID_;
    unstored.name = QStringLiteral("Default");
    return unstored;
}

ItemsSettingsModel::RingKind ItemsSettingsModel::editedRingKind() const { return kindOf(editedRing()); }

qint64 ItemsSettingsModel::editedRingCapacity() const
{
    return editedRing().capacity(store_.config().slotCount);
}

bool ItemsSettingsModel::isEditedRingFull() const
{
    return editedRing().items.size() >= editedRingCapacity();
}

std::optional<qsizetype> ItemsSettingsModel::selectedItemIndex() const
{
    if (!selectedItemID_)
        return std::nullopt;
    const QList<RingItem> items = editedRing().items;
    for (qsizetype index = 0; index < items.size(); ++index) {
        if (items.at(index).id == *selectedItemID_)
            return index;
    }
    return std::nullopt;
}

std::optional<RingItem> ItemsSettingsModel::selectedItem() const
{
    const auto index = selectedItemIndex();
    return index ? std::optional(editedRing().items.at(*index)) : std::nullopt;
}

qint64 ItemsSettingsModel::firstFreeSlot() const
{
    const Ring ring = editedRing();
    for (qint64 slot = 0; slot < editedRingCapacity(); ++slot) {
        if (!ring.itemInSlot(slot))
            return slot;
    }
    return 0;
}

QList<RingItem> ItemsSettingsModel::listedItems() const
{
    QList<RingItem> items = editedRing().items;
    const auto bySlot = [](const RingItem &a, const RingItem &b) { return a.slot < b.slot; };
    // Most rings are in slot order already: their list stays shared, quick to compare.
    if (!std::is_sorted(items.cbegin(), items.cend(), bySlot))
        std::stable_sort(items.begin(), items.end(), bySlot);
    return items;
}

std::optional<int> ItemsSettingsModel::highlightedSlot() const
{
    const auto item = selectedItem();
    if (!item || item->slot < 0 || item->slot >= editedRingCapacity())
        return std::nullopt;
    return int(item->slot);
}

QString ItemsSettingsModel::slotCountText() const
{
    return tr("%1 / %2 slots").arg(editedRing().items.size()).arg(editedRingCapacity());
}

void ItemsSettingsModel::seedSelection()
{
    // Until a ring is chosen the edited ring is the first page: the same ring
    // whose id is seeded here.
    const QUuid ringID = selectedRingID_.value_or(editedRing().id);
    std::optional<QUuid> itemID = selectedItemID_;
    if (const QList<RingItem> items = listedItems(); !itemID && !items.isEmpty())
        itemID = items.constFirst().id;
    setSelection(ringID, itemID);
}

void ItemsSettingsModel::moveSelection(int delta)
{
    const QList<RingItem> items = listedItems();
    if (items.isEmpty())
        return;
    qsizetype current = -1;
    for (qsizetype index = 0; index < items.size(); ++index) {
        if (items.at(index).id == selectedItemID_)
            current = index;
    }
    const qsizetype target = delta < 0 ? std::max<qsizetype>(current, 1) - 1
                                       : std::min<qsizetype>(current + 1, items.size() - 1);
    selectItem(items.at(target).id);
}

void ItemsSettingsModel::selectFirstItem()
{
    const QList<RingItem> items = listedItems();
    selectItem(items.isEmpty() ? std::nullopt : std::optional(items.constFirst().id));
}

QString ItemsSettingsModel::buildPackParentName() const
{
    const QString name = editedRing().name;
    return name.isEmpty() ? tr("Ring") : RingText::bounded(name);
}

std::optional<AppActionPickerModel::Target> ItemsSettingsModel::appActionsTarget() const
{
    const auto item = selectedItem();
    const auto *launch = item ? std::get_if<LaunchAppPayload>(&item->action.payload) : nullptr;
    if (!launch)
        return std::nullopt;
    const QString bundleID = launch->bundleID.value_or(QString());
    QString appName = appDisplayName(catalog_, bundleID).value_or(item->title);
    if (appName.isEmpty())
        appName = tr("App");
    const IconSpec appIcon = bundleID.isEmpty() ? item->icon : IconSpec::appIcon(bundleID);
    return AppActionPickerModel::Target{editedRing().id, item->id, bundleID, appName, appIcon};
}

void ItemsSettingsModel::packCommitted(const QUuid &openerItemID) { selectItem(openerItemID); }

void ItemsSettingsModel::appActionsCreated(const RingItem &item)
{
    if (const auto *opens = std::get_if<OpenRingPayload>(&item.action.payload))
        selectRing(opens->ringID);
    else
        selectItem(item.id);
}

void ItemsSettingsModel::writeEditedItem(const RingItem &item)
{
    if (!isEditedRingStored())
        return;
    const qsizetype ringIndex = editedRingIndex();
    store_.edit([&](VimaConfig &config) {
        for (RingItem &stored : config.rings[ringIndex].items) {
            if (stored.id == item.id) {
                stored = item;
                return;
            }
        }
    });
}

} // namespace vima
