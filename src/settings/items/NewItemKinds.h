#pragma once

#include "model/ItemAction.h"

#include <QList>

namespace vima {

// The kinds a new item can be made on this system, in the stored kinds'
// order. AppleScript can't run here, so it is never offered for a new item;
// an item that already is one keeps its kind and its script.
QList<ItemAction::Kind> newItemKinds();

// The kinds the editor's picker offers an item that is, or was while shown, of
// the kinds `kept`: the new-item kinds, and `kept` in their places, so neither
// showing an item nor switching it to and fro loses its kind.
QList<ItemAction::Kind> offeredKinds(const QList<ItemAction::Kind> &kept);

} // namespace vima
