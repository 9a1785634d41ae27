#pragma once

#include "model/Ring.h"
#include "model/RingItem.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>
#include <variant>

namespace vima {

// A starter ring: library presets by id, some gathered into groups that
// become packs. Never stored; only the rings made from it are.
struct RingTemplate {
    struct Entry {
        // One preset, one slot.
        struct Action {
            QString presetID;
            bool operator==(const Action &) const = default;
        };
        // A pack of presets behind an opener slot titled `name`.
        struct Group {
            QString name;
            QString symbol;
            QStringList actions;
            bool operator==(const Group &) const = default;
        };

        std::variant<Action, Group> value;

        static Entry action(const QString &presetID);
        static Entry group(const QString &name, const QString &symbol, const QStringList &actions);

        bool operator==(const Entry &) const = default;
    };

    QString id;
    QString name;
    QString summary;
    QString symbol;
    QList<Entry> entries;

    static const QList<RingTemplate> &all();
    static const RingTemplate &defaultTemplate(); // "everyday"
    static std::optional<RingTemplate> templateWithID(const QString &id);

    // What the ring will hold, entry by entry, whatever the slot count.
    QStringList previewTitles() const;
    // The primary ring "Default" made from the first `slotCount` entries,
    // then one pack per group among them. Fresh ids on every call.
    QList<Ring> makeRings(qint64 slotCount, const QString &language) const;
    // The slots of one group's pack: its first `slotCount` presets that exist.
    static QList<RingItem> groupItems(const QStringList &presetIDs, qint64 slotCount,
                                      const QString &language);

    bool operator==(const RingTemplate &) const = default;
};

} // namespace vima
