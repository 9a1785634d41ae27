#pragma once

#include "model/RingItem.h"

#include <QJsonObject>
#include <QList>
#include <QString>
#include <QUuid>
#include <optional>

namespace vima {

class JsonSink;

// A page (no bundleIDMatch, not a sub-ring), an app ring (bundleIDMatch set,
// not a sub-ring) or a pack (isSubRing, whatever its bundleIDMatch).
struct Ring {
    QUuid id;
    QString name;
    std::optional<QString> bundleIDMatch;
    bool isSubRing = false;
    std::optional<qint64> slotCount; // stored as read, never clamped
    QList<RingItem> items;

    // The first item in the slot, in array order.
    std::optional<RingItem> itemInSlot(qint64 slot) const;

    static Ring fromJson(const QJsonObject &object);
    QJsonObject toJson() const;
    void write(JsonSink &sink) const;

    bool operator==(const Ring &) const = default;
};

} // namespace vima
