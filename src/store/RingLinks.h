#pragma once

#include "model/Ring.h"
#include "model/RingItem.h"

#include <QList>
#include <QUuid>

namespace vima {

// The ring an item opens, when its action is openRing.
const QUuid *openedRingID(const RingItem &item);
// The rings that `items` open, in item order, repeats kept.
QList<QUuid> openRingTargetIDs(const QList<RingItem> &items);
// How many items of `rings` open the ring `ringID`.
qsizetype itemsOpening(const QList<Ring> &rings, const QUuid &ringID);

} // namespace vima
