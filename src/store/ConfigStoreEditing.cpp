// The editing operations of ConfigStore: each works on a copy of the
// configuration and publishes it whole.
#include "store/ConfigStore.h"

#include "model/RingTemplate.h"
#include "model/Text.h"
#include "store/RingLinks.h"
#include "store/SavedGroupCopy.h"

#include <algorithm>
#include <limits>
#include <set>

namespace vima {

namespace {

bool isPage(const Ring &ring) { return !ring.isSubRing && !ring.bundleIDMatch; }

// The slot after the largest taken one; when that would pass the largest
// representable slot, the lowest free slot at or beyond the limit instead.
qint64 slotAfterTaken(const std::set<qint64> &taken, qint64 limit)
{
    const qint64 largest = *taken.rbegin();
    if (largest < std::numeric_limits<qint64>::max())
        return largest + 1;
    qint64 slot = limit;
    while (taken.count(slot))
        ++slot;
    return slot;
}

void giveSlotsOfTheirOwn(QList<RingItem> &items, qint64 limit)
{
    std::set<qint64> taken;
    qint64 takenBelowLimit = 0;
    qint64 lowestFree = 0; // only grows, as slots are only ever taken
    for (RingItem &item : items) {
        const bool full = takenBelowLimit == limit;
        const bool keeps = item.slot >= 0 && !taken.count(item.slot) && (item.slot < limit || full);
        if (!keeps && !full) {
            while (taken.count(lowestFree))
                ++lowestFree;
            item.slot = lowestFree;
        } else if (!keeps) {
            item.slot = slotAfterTaken(taken, limit);
        }
        taken.insert(item.slot);
        takenBelowLimit += item.slot >= 0 && item.slot < limit;
    }
}

// Removes the packs that only the removed links opened, and those reachable
// only through them, one at a time, as each removal may orphan another.
void removePacksLeftUnopened(QList<Ring> &rings, QList<QUuid> candidates)
{
    for (;;) {
        const auto orphan = std::find_if(rings.begin(), rings.end(), [&](const Ring &ring) {
            return ring.isSubRing && candidates.contains(ring.id) && itemsOpening(rings, ring.id) == 0;
        });
        if (orphan == rings.end())
            return;
        candidates.append(openRingTargetIDs(orphan->items));
        rings.erase(orphan);
    }
}

// Of the rings `formerTargets` named, the packs nothing in `rings` opens any more.
QList<QUuid> packsLeftUnopened(const QList<Ring> &rings, const QList<QUuid> &formerTargets)
{
    QList<QUuid> unopened;
    for (const Ring &ring : rings) {
        if (ring.isSubRing && formerTargets.contains(ring.id) && itemsOpening(rings, ring.id) == 0)
            unopened.append(ring.id);
    }
    return unopened;
}

QString openItemTitle(const QString &appName)
{
    const QString title = QStringLiteral("Open ") + appName;
    return Text::graphemeCount(title) >= 15 ? appName : title;
}

} // namespace

void ConfigStore::commit(const VimaConfig &config)
{
    setConfig(config);
    scheduleSave();
}

qint64 ConfigStore::capacity(const Ring &ring) const { return ring.capacity(config_.slotCount); }

std::optional<qsizetype> ConfigStore::ringIndex(const QUuid &ringID) const
{
    const auto &rings = config_.rings;
    const auto it = std::find_if(rings.cbegin(), rings.cend(),
                                 [&](const Ring &ring) { return ring.id == ringID; });
    if (it == rings.cend())
        return std::nullopt;
    return it - rings.cbegin();
}

qsizetype ConfigStore::primaryRingIndex()
{
    const auto &rings = config_.rings;
    const auto page = std::find_if(rings.cbegin(), rings.cend(), isPage);
    if (page != rings.cend())
        return page - rings.cbegin();
    Ring primary;
    primary.id = QUuid::createUuid();
    primary.name = QStringLiteral("Default");
    VimaConfig next = config_;
    next.rings.prepend(primary);
    commit(next);
    return 0;
}

qsizetype ConfigStore::targetRingIndex(const std::optional<QUuid> &ringID)
{
    if (ringID) {
        if (const auto index = ringIndex(*ringID))
            return *index;
    }
    return primaryRingIndex();
}

qsizetype ConfigStore::itemsOpeningRing(const QUuid &ringID) const
{
    return itemsOpening(config_.rings, ringID);
}

void ConfigStore::appendItem(const RingItem &item, const std::optional<QUuid> &ringID)
{
    const qsizetype index = targetRingIndex(ringID);
    VimaConfig next = config_;
    next.rings[index].items.append(item);
    commit(next);
}

void ConfigStore::setRingSlotCount(std::optional<qint64> count, const std::optional<QUuid> &ringID)
{
    const qsizetype index = targetRingIndex(ringID);
    VimaConfig next = config_;
    next.rings[index].slotCount = count;
    commit(next);
    normalizeSlots();
}

void ConfigStore::normalizeSlots()
{
    const bool anyItem = std::any_of(config_.rings.cbegin(), config_.rings.cend(),
                                     [](const Ring &ring) { return !ring.items.isEmpty(); });
    if (!anyItem)
        return;
    VimaConfig next = config_;
    for (Ring &ring : next.rings)
        giveSlotsOfTheirOwn(ring.items, Ring::drawnSlotCount(capacity(ring)));
    commit(next);
}

void ConfigStore::removeItems(const QSet<QUuid> &itemIDs, const std::optional<QUuid> &ringID)
{
    const qsizetype index = targetRingIndex(ringID);
    VimaConfig next = config_;
    QList<RingItem> &items = next.rings[index].items;
    const auto removed = std::stable_partition(
        items.begin(), items.end(), [&](const RingItem &item) { return !itemIDs.contains(item.id); });
    const QList<QUuid> unlinked = openRingTargetIDs(QList<RingItem>(removed, items.end()));
    items.erase(removed, items.end());
    removePacksLeftUnopened(next.rings, unlinked);
    commit(next);
}

void ConfigStore::moveItem(const QUuid &itemID, qint64 slot, const std::optional<QUuid> &ringID)
{
    const qsizetype index = targetRingIndex(ringID);
    if (slot < 0 || slot >= capacity(config_.rings.at(index)))
        return;
    VimaConfig next = config_;
    QList<RingItem> &items = next.rings[index].items;
    const auto moving = std::find_if(items.begin(), items.end(),
                                     [&](const RingItem &item) { return item.id == itemID; });
    if (moving == items.end())
        return;
    const auto occupant = std::find_if(items.begin(), items.end(), [&](const RingItem &item) {
        return &item != &*moving && item.slot == slot;
    });
    if (occupant != items.end())
        occupant->slot = moving->slot;
    moving->slot = slot;
    commit(next);
}

std::optional<SavedGroup> ConfigStore::saveRingAsPack(const QUuid &ringID,
                                                      const std::optional<QString> &name,
                                                      const std::optional<IconSpec> &icon)
{
    const std::optional<Ring> ring = config_.ringWithID(ringID);
    if (!ring)
        return std::nullopt;
    SavedGroup group;
    group.id = QUuid::createUuid();
    group.name = name.value_or(ring->name);
    group.icon = icon.value_or(IconSpec::symbol(QStringLiteral("square.grid.2x2")));
    group.items = ring->items;
    for (RingItem &item : group.items)
        item.id = QUuid::createUuid();
    group.nestedRings = collectNestedRings(ring->items, config_.rings);
    VimaConfig next = config_;
    next.savedGroups.append(group);
    commit(next);
    return group;
}

void ConfigStore::deleteSavedGroup(const QUuid &groupID)
{
    VimaConfig next = config_;
    next.savedGroups.removeIf([&](const SavedGroup &group) { return group.id == groupID; });
    commit(next);
}

std::optional<RingItem> ConfigStore::turnAppItemIntoPack(const QUuid &itemID,
                                                         const std::optional<QUuid> &ringID,
                                                         const QList<RingItem> &suggestions,
                                                         const QString &appName,
                                                         const IconSpec &appIcon)
{
    const qsizetype index = targetRingIndex(ringID);
    const QList<RingItem> &items = config_.rings.at(index).items;
    const auto replaced = std::find_if(items.cbegin(), items.cend(),
                                       [&](const RingItem &item) { return item.id == itemID; });
    if (replaced == items.cend())
        return std::nullopt;
    const auto *launch = std::get_if<LaunchAppPayload>(&replaced->action.payload);

    Ring pack;
    pack.id = QUuid::createUuid();
    pack.name = appName;
    pack.isSubRing = true;
    pack.items = suggestions.mid(0, std::max<qint64>(config_.slotCount - 1, 0));
    for (qsizetype k = 0; k < pack.items.size(); ++k)
        pack.items[k].slot = k;
    pack.items.append(RingItem{QUuid::createUuid(), openItemTitle(appName), appIcon,
                               pack.items.size(),
                               ItemAction{launch ? *launch : LaunchAppPayload{}}});

    const RingItem opener{QUuid::createUuid(), appName, appIcon, replaced->slot,
                          ItemAction{OpenRingPayload{pack.id}}};
    VimaConfig next = config_;
    next.rings[index].items[replaced - items.cbegin()] = opener;
    next.rings.append(pack);
    commit(next);
    return opener;
}

void ConfigStore::deleteRing(const QUuid &ringID)
{
    VimaConfig next = config_;
    for (Ring &ring : next.rings) {
        ring.items.removeIf([&](const RingItem &item) {
            const QUuid *id = openedRingID(item);
            return id && *id == ringID;
        });
    }
    next.rings.removeIf([&](const Ring &ring) { return ring.id == ringID; });
    commit(next);
}

ConfigStore::TemplateReplacement ConfigStore::templateReplacement() const
{
    const auto page = std::find_if(config_.rings.cbegin(), config_.rings.cend(), isPage);
    if (page == config_.rings.cend())
        return {};
    QList<Ring> after = config_.rings;
    const qsizetype index = page - config_.rings.cbegin();
    const QList<QUuid> formerTargets = openRingTargetIDs(after[index].items);
    after[index].items.clear();
    TemplateReplacement replacement{page->items.size(), {}};
    for (const QUuid &id : packsLeftUnopened(after, formerTargets))
        replacement.removedPacks.append(*std::find_if(after.cbegin(), after.cend(),
                                                      [&id](const Ring &ring) { return ring.id == id; }));
    return replacement;
}

void ConfigStore::applyTemplate(const RingTemplate &ringTemplate)
{
    const qsizetype index = primaryRingIndex();
    const Ring &primary = config_.rings.at(index);
    const QList<QUuid> formerTargets = openRingTargetIDs(primary.items);
    const QList<Ring> built = ringTemplate.makeRings(capacity(primary), config_.ai.defaultTargetLanguage);
    if (built.isEmpty())
        return;

    VimaConfig next = config_;
    next.rings[index].items = built.first().items;
    next.rings.append(built.mid(1));
    // Only packs go with the old items: never the primary page, nor another
    // page or app ring that an old item happened to open.
    const QList<QUuid> unopened = packsLeftUnopened(next.rings, formerTargets);
    next.rings.removeIf([&](const Ring &ring) { return unopened.contains(ring.id); });
    commit(next);
    normalizeSlots();
    save();
}

} // namespace vima
