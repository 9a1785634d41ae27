#pragma once

#include "model/Ring.h"
#include "model/RingItem.h"
#include "model/SavedGroup.h"

#include <QHash>
#include <QList>
#include <QUuid>

namespace vima {

// Copying packs into and out of saved packs. Pure functions on values.

// Every ring reachable from `items` through ring links, looked up in `rings`,
// as unchanged copies in breadth-first order, each once.
QList<Ring> collectNestedRings(const QList<RingItem> &items, const QList<Ring> &rings);

// Copies of `items` with fresh ids, their ring links rewritten through `ringIDs`
// (links the map lacks stay as they are).
QList<RingItem> remapItems(const QList<RingItem> &items, const QHash<QUuid, QUuid> &ringIDs);

struct InstalledSavedGroup {
    Ring pack;
    QList<Ring> nestedRings;
};

// New rings for a saved pack, every ring and item with a fresh id, ready to be
// appended to a configuration (the pack ring first, then the nested rings).
InstalledSavedGroup instantiate(const SavedGroup &group);

} // namespace vima
