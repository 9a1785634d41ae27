#include "store/RingLinks.h"

namespace vima {

const QUuid *openedRingID(const RingItem &item)
{
    const auto *link = std::get_if<OpenRingPayload>(&item.action.payload);
    return link ? &link->ringID : nullptr;
}

QList<QUuid> openRingTargetIDs(const QList<RingItem> &items)
{
    QList<QUuid> ids;
    for (const RingItem &item : items) {
        if (const QUuid *id = openedRingID(item))
            ids.append(*id);
    }
    return ids;
}

qsizetype itemsOpening(const QList<Ring> &rings, const QUuid &ringID)
{
    qsizetype count = 0;
    for (const Ring &ring : rings) {
        for (const RingItem &item : ring.items) {
            const QUuid *id = openedRingID(item);
            count += id && *id == ringID;
        }
    }
    return count;
}

} // namespace vima
