#pragma once

#include "model/ItemAction.h"
#include "model/SavedGroup.h"

#include <QList>
#include <QString>

namespace vima {

// One line of the add-item chooser: a caption or a choice.
struct AddItemChoice {
    enum class Kind { caption, buildPack, browse, newItem, savedPack };

    Kind kind = Kind::caption;
    QString title; // a caption's text as given, before capitals
    QString subtitle;
    QString symbol;
    bool emphasised = false;
    ItemAction::Kind itemKind = ItemAction::Kind::shell; // newItem's
    SavedGroup pack;                                     // savedPack's
};

// The chooser's lines for a 0-based slot, the saved packs last.
QList<AddItemChoice> addItemChoices(qint64 slot, const QList<SavedGroup> &savedPacks);

} // namespace vima
