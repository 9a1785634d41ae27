#include "settings/items/NewItemKinds.h"

namespace vima {

QList<ItemAction::Kind> newItemKinds()
{
    QList<ItemAction::Kind> kinds = ItemAction::allKinds();
    kinds.removeAll(ItemAction::Kind::appleScript);
    return kinds;
}

QList<ItemAction::Kind> offeredKinds(const QList<ItemAction::Kind> &kept)
{
    const QList<ItemAction::Kind> offered = newItemKinds();
    QList<ItemAction::Kind> kinds;
    for (const ItemAction::Kind kind : ItemAction::allKinds()) {
        if (kept.contains(kind) || offered.contains(kind))
            kinds.append(kind);
    }
    return kinds;
}

} // namespace vima
