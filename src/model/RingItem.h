#pragma once

#include "model/IconSpec.h"
#include "model/ItemAction.h"

#include <QJsonObject>
#include <QString>
#include <QUuid>

namespace vima {

class JsonSink;

// One slot of a ring.
struct RingItem {
    QUuid id;
    QString title;
    IconSpec icon;
    qint64 slot = 0;
    ItemAction action;

    // Whether a title is still a placeholder the settings may replace.
    static bool isPlaceholderTitle(const QString &title);

    static RingItem fromJson(const QJsonObject &object);
    QJsonObject toJson() const;
    void write(JsonSink &sink) const;

    bool operator==(const RingItem &) const = default;
};

} // namespace vima
