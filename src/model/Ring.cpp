#include "model/Ring.h"

#include "model/JsonReader.h"
#include "model/JsonWriter.h"

#include <QJsonArray>

namespace vima {

std::optional<RingItem> Ring::itemInSlot(qint64 slot) const
{
    for (const RingItem &item : items) {
        if (item.slot == slot)
            return item;
    }
    return std::nullopt;
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

QJsonObject Ring::toJson() const
{
    QJsonObject object{{QStringLiteral("id"), JsonWriter::uuidText(id)},
                       {QStringLiteral("name"), name},
                       {QStringLiteral("isSubRing"), isSubRing},
                       {QStringLiteral("items"), JsonWriter::array(items)}};
    JsonWriter::insertIfSet(object, QStringLiteral("bundleIDMatch"), bundleIDMatch);
    JsonWriter::insertIfSet(object, QStringLiteral("slotCount"), slotCount);
    return object;
}

} // namespace vima
