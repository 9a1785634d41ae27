#pragma once

#include "model/ActionCategory.h"
#include "model/IconSpec.h"
#include "model/ItemAction.h"
#include "model/RingItem.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

namespace vima {

// One entry of the built-in action library. A slot made from it keeps no link
// back to the library.
struct ActionPreset {
    QString id; // "<category prefix>.<slug>", e.g. "writing.fix-grammar"
    QString title;
    QString summary;
    IconSpec icon;
    ActionCategory category = ActionCategory::writing;
    QStringList keywords; // lower case; a keyword may hold a space
    ItemAction action;
    bool needsLanguage = false; // the slot must carry the user's target language

    // The whole library, category by category.
    static const QList<ActionPreset> &all();
    static std::optional<ActionPreset> presetWithID(const QString &id);

    // The library's search test; a blank query matches everything.
    bool matches(const QString &query) const;
    bool isAI() const;
    // A new slot with a fresh id; `language` goes into the AI payload when the
    // preset needs one.
    RingItem makeItem(qint64 slot, const QString &language) const;

    bool operator==(const ActionPreset &) const = default;
};

} // namespace vima
