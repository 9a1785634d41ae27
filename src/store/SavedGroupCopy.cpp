#include "store/SavedGroupCopy.h"

#include "store/RingLinks.h"

#include <QQueue>
#include <QSet>
#include <algorithm>

namespace vima {

namespace {

const Ring *firstRingWithID(const QList<Ring> &rings, const QUuid &id)
{
    const auto it = std::find_if(rings.cbegin(), rings.cend(),
                                 [&](const Ring &ring) { return ring.id == id; });
    return it == rings.cend() ? nullptr : &*it;
}

} // namespace

QList<Ring> collectNestedRings(const QList<RingItem> &items, const QList<Ring> &rings)
{
    QSet<QUuid> visited;
    QList<Ring> found;
    QQueue<RingItem> queue;
    queue.append(items);
    while (!queue.isEmpty()) {
        const RingItem item = queue.dequeue();
        const QUuid *id = openedRingID(item);
        if (!id || visited.contains(*id))
            continue;
        const Ring *ring = firstRingWithID(rings, *id);
        if (!ring)
            continue; // a missing target is not recorded: it may be linked again later
        visited.insert(*id);
        found.append(*ring);
        queue.append(ring->items);
    }
    return found;
}

QList<RingItem> remapItems(const QList<RingItem> &items, const QHash<QUuid, QUuid> &ringIDs)
{
    QList<RingItem> copies;
    copies.reserve(items.size());
    for (RingItem item : items) {
        item.id = QUuid::createUuid();
        if (auto *link = std::get_if<OpenRingPayload>(&item.action.payload))
            link->ringID = ringIDs.value(link->ringID, link->ringID);
        copies.append(std::move(item));
    }
    return copies;
}

InstalledSavedGroup instantiate(const SavedGroup &group)
{
    // Links follow the first nested ring with an id, as lookups do; a later ring
    // that repeats the id still gets a fresh id of its own, never a shared one.
    QHash<QUuid, QUuid> ringIDs;
    QList<QUuid> newIDs;
    for (const Ring &ring : group.nestedRings) {
        newIDs.append(QUuid::createUuid());
        if (!ringIDs.contains(ring.id))
            ringIDs.insert(ring.id, newIDs.last());
    }

    InstalledSavedGroup installed;
    for (qsizetype i = 0; i < group.nestedRings.size(); ++i) {
        Ring ring = group.nestedRings.at(i);
        ring.id = newIDs.at(i);
        ring.isSubRing = true;
        ring.items = remapItems(ring.items, ringIDs);
        installed.nestedRings.append(std::move(ring));
    }

    installed.pack.id = QUuid::createUuid();
    installed.pack.name = group.name;
    installed.pack.isSubRing = true;
    installed.pack.items = remapItems(group.items, ringIDs);
    return installed;
}

} // namespace vima
