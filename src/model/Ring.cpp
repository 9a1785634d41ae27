#include "model/Ring.h"

#include "model/JsonObjectSink.h"
#include "model/JsonReader.h"
#include "model/JsonWriter.h"

#include <QJsonArray>
#include <algorithm>

namespace vima {

std::optional<RingItem> Ring::itemInSlot(qint64 slot) const
{
    for (const RingItem &item : items) {
        if (item.slot == slot)
            return item;
    }
    return std::nullopt;
}

qint64 Ring::boundedSlotCount(qint64 count) { return std::clamp<qint64>(count, 0, maxSlotCount); }

int Ring::drawnSlotCount(qint64 count) { return int(std::max<qint64>(boundedSlotCount(count), 1)); }

qint64 Ring::capacity(qint64 globalSlotCount) const
{
    return boundedSlotCount(slotCount.value_or(globalSlotCount));
}

Ring Ring::fromJson(const QJsonObject &object)
{
    const JsonReader reader(object);
    Ring ring;
    ring.id = reader.get<QUuid>(QStringLiteral("id"));
    ring.name = reader.get<QString>(QStringLiteral("name"));
    ring.bundleIDMatch = reader.optional<QString>(QStringLiteral("bundleIDMatch"));
    ring.isSubRing = reader.optional<bool>(QStringLiteral("isSubRing")).value_or(false);
    ring.slotCount = reader.optional<qint64>(QStringLiteral("slotCount"));
    ring.items = reader.get<QList<RingItem>>(QStringLiteral("items"));
    return ring;
}

QJsonObject Ring::toJson() const { return JsonObjectSink::build(*this); }

void Ring::write(JsonSink &sink) const
{
    sink.beginObject();
    sink.field(QLatin1StringView("bundleIDMatch"), bundleIDMatch);
    sink.field(QLatin1StringView("id"), JsonWriter::uuidText(id));
    sink.field(QLatin1StringView("isSubRing"), isSubRing);
    sink.field(QLatin1StringView("items"), items);
    sink.field(QLatin1StringView("name"), name);
    sink.field(QLatin1StringView("slotCount"), slotCount);
    sink.endObject();
}

} // namespace vima
