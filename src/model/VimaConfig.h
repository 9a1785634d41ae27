#pragma once

#include "model/Ring.h"
#include "model/SavedGroup.h"
#include "model/Settings.h"

#include <QJsonObject>
#include <QList>
#include <QString>
#include <QStringList>
#include <QUuid>
#include <optional>

namespace vima {

class JsonSink;

// The whole configuration, as held in "config.json". Default-constructed, it
// has every default value but no rings (the default rings come from the
// starter templates; see ConfigStore::makeDefaultConfig).
struct VimaConfig {
    qint64 version = 1;
    qint64 slotCount = 8;
    HotkeySpec hotkey;
    QList<Ring> rings;
    AISettings ai;
    Appearance appearance;
    FeatureFlags featureFlags;
    PointerTrigger pointerTrigger;
    SelectionSettings selection;
    QList<SavedGroup> savedGroups;

    // This application's own bundle identifier ("com.vima.Vima").
    static QString ownBundleIdentifier();

    QList<Ring> globalRings() const; // pages
    QList<Ring> appRings() const;
    QList<Ring> subRings() const; // packs
    Ring primaryRing() const;
    std::optional<Ring> ringWithID(const QUuid &id) const;
    std::optional<qsizetype> globalRingIndex(const QUuid &id) const;

    struct Pages {
        QList<Ring> rings;
        qsizetype startIndex = 0;
    };
    // The pages to show while the application is frontmost, its own ring first.
    Pages ringsForApp(const std::optional<QString> &bundleID) const;
    // The identifier of the app ring made for the application that goes by
    // `names` (its desktop id, then its window classes), best match first: a
    // ring for one of the names, else one whose AppIdentity a name stands for.
    std::optional<QString> appRingNaming(const QStringList &names) const;

    static VimaConfig fromJson(const QJsonObject &object);
    QJsonObject toJson() const;
    void write(JsonSink &sink) const;

    bool operator==(const VimaConfig &) const = default;
};

} // namespace vima
