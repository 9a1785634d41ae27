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
    // The most slots a ring shows, whatever count a file holds.
    static constexpr qint64 maxSlotCount = 24;

    QUuid id;
    QString name;
    std::optional<QString> bundleIDMatch;
    bool isSubRing = false;
    std::optional<qint64> slotCount; // stored as read, never clamped
    QList<RingItem> items;

    // The first item in the slot, in array order.
    std::optional<RingItem> itemInSlot(qint64 slot) const;
    // The slots the settings offer on this ring: its own count, else
    // `globalSlotCount`, at most maxSlotCount and never below 0; the count
    // stays stored as read.
    qint64 capacity(qint64 globalSlotCount) const;

    static Ring fromJson(const QJsonObject &object);
    QJsonObject toJson() const;
    void write(JsonSink &sink) const;

    bool operator==(const Ring &) const = default;
};

} // namespace vima
