#include "model/RingItem.h"

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

QJsonObject RingItem::toJson() const
{
    return {{QStringLiteral("id"), JsonWriter::uuidText(id)},
            {QStringLiteral("title"), title},
            {QStringLiteral("icon"), icon.toJson()},
            {QStringLiteral("slot"), slot},
            {QStringLiteral("action"), action.toJson()}};
}

} // namespace vima
