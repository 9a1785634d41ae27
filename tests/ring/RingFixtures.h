#pragma once

#include "model/Ring.h"
#include "model/RingItem.h"

#include <QUuid>

namespace vima::fixtures {

inline RingItem actionItem(qint64 slot, const QString &title, IconSpec icon = IconSpec::symbol("sparkles"))
{
    return RingItem{QUuid::createUuid(), title, icon, slot,
                    ItemAction{AIPayload{QStringLiteral("Fix it."), ResultHandling::replaceSelection, {}, {}, false}}};
}

inline RingItem packItem(qint64 slot, const QString &title, const QUuid &ringID,
                         IconSpec icon = IconSpec::symbol("circle.grid.cross"))
{
    return RingItem{QUuid::createUuid(), title, icon, slot, ItemAction{OpenRingPayload{ringID}}};
}

inline Ring ring(const QString &name, const QList<RingItem> &items, std::optional<qint64> slotCount = {},
                 bool isSubRing = false)
{
    return Ring{QUuid::createUuid(), name, std::nullopt, isSubRing, slotCount, items};
}

} // namespace vima::fixtures
