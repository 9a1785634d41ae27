#include "model/RingItem.h"

#include "model/JsonObjectSink.h"
#include "model/JsonReader.h"
#include "model/JsonWriter.h"
#include "model/Text.h"

#include <algorithm>

namespace vima {

bool RingItem::isPlaceholderTitle(const QString &title)
{
    const QString trimmed = Text::trimmed(title);
    if (trimmed.isEmpty())
        return true;
    const QList<ItemAction::Kind> kinds = ItemAction::allKinds();
    return std::any_of(kinds.begin(), kinds.end(), [&](ItemAction::Kind kind) {
        return trimmed == ItemAction::defaultTitle(kind)
            || trimmed == QStringLiteral("New ") + ItemAction::longTitle(kind);
    });
}

RingItem RingItem::fromJson(const QJsonObject &object)
{
    const JsonReader reader(object);
    RingItem item;
    item.id = reader.get<QUuid>(QStringLiteral("id"));
    item.title = reader.get<QString>(QStringLiteral("title"));
    item.icon = reader.get<IconSpec>(QStringLiteral("icon"));
    item.slot = reader.get<qint64>(QStringLiteral("slot"));
    item.action = reader.get<ItemAction>(QStringLiteral("action"));
    return item;
}

QJsonObject RingItem::toJson() const { return JsonObjectSink::build(*this); }

void RingItem::write(JsonSink &sink) const
{
    sink.beginObject();
    sink.field(QLatin1StringView("action"), action);
    sink.field(QLatin1StringView("icon"), icon);
    sink.field(QLatin1StringView("id"), JsonWriter::uuidText(id));
    sink.field(QLatin1StringView("slot"), slot);
    sink.field(QLatin1StringView("title"), title);
    sink.endObject();
}

} // namespace vima
