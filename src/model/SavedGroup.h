#pragma once

#include "model/IconSpec.h"
#include "model/Ring.h"
#include "model/RingItem.h"

#include <QJsonObject>
#include <QList>
#include <QString>
#include <QUuid>

namespace vima {

class JsonSink;

// A saved pack: its own items and every ring reachable from them.
struct SavedGroup {
    QUuid id;
    QString name;
    IconSpec icon;
    QList<RingItem> items;
    QList<Ring> nestedRings;

    static SavedGroup fromJson(const QJsonObject &object);
    QJsonObject toJson() const;
    void write(JsonSink &sink) const;

    bool operator==(const SavedGroup &) const = default;
};

} // namespace vima
