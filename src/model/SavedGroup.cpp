#include "model/SavedGroup.h"

#include "model/JsonReader.h"
#include "model/JsonWriter.h"

namespace vima {

SavedGroup SavedGroup::fromJson(const QJsonObject &object)
{
    const JsonReader reader(object);
    SavedGroup group;
    group.id = reader.get<QUuid>(QStringLiteral("id"));
    group.name = reader.get<QString>(QStringLiteral("name"));
    group.icon = reader.get<IconSpec>(QStringLiteral("icon"));
    group.items = reader.get<QList<RingItem>>(QStringLiteral("items"));
    group.nestedRings = reader.optional<QList<Ring>>(QStringLiteral("nestedRings")).value_or(QList<Ring>());
    return group;
}

QJsonObject SavedGroup::toJson() const
{
    return {{QStringLiteral("id"), JsonWriter::uuidText(id)},
            {QStringLiteral("name"), name},
            {QStringLiteral("icon"), icon.toJson()},
            {QStringLiteral("items"), JsonWriter::array(items)},
            {QStringLiteral("nestedRings"), JsonWriter::array(nestedRings)}};
}

} // namespace vima
