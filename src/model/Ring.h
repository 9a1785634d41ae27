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
    // The slots a count gives, wherever it comes from: none below zero, at
    // most maxSlotCount.
    static qint64 boundedSlotCount(qint64 count);
    // The slots drawn for a count: bounded, and never none, as a ring always
    // draws at least one.
    static int drawnSlotCount(qint64 count);

    QUuid id;
    QString name;
    std::optional<QString> bundleIDMatch;
    bool isSubRing = false;
    std::optional<qint64> slotCount; // stored as read, never clamped
    QList<RingItem> items;

    // The first item in the slot, in array order.
    std::optional<RingItem> itemInSlot(qint64 slot) const;
    // The slots this ring offers: its own count, else `globalSlotCount`,
    // bounded; the count stays stored as read.
    qint64 capacity(qint64 globalSlotCount) const;

    static Ring fromJson(const QJsonObject &object);
    QJsonObject toJson() const;
    void write(JsonSink &sink) const;

    bool operator==(const Ring &) const = default;
};

} // namespace vima
