#include "model/SavedGroup.h"

#include "model/JsonObjectSink.h"
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

QJsonObject SavedGroup::toJson() const { return JsonObjectSink::build(*this); }

void SavedGroup::write(JsonSink &sink) const
{
    sink.beginObject();
    sink.field(QLatin1StringView("icon"), icon);
    sink.field(QLatin1StringView("id"), JsonWriter::uuidText(id));
    sink.field(QLatin1StringView("items"), items);
    sink.field(QLatin1StringView("name"), name);
    sink.field(QLatin1StringView("nestedRings"), nestedRings);
    sink.endObject();
}

} // namespace vima
