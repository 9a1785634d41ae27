#pragma once

#include <QJsonObject>
#include <QString>

namespace vima {

class JsonSink;

// A slot's icon: a system symbol name, an emoji, or an application's icon by
// bundle identifier.
struct IconSpec {
    enum class Kind { symbol, emoji, appIcon };

    Kind kind = Kind::symbol;
    QString value;

    static IconSpec symbol(const QString &name) { return {Kind::symbol, name}; }
    static IconSpec emoji(const QString &text) { return {Kind::emoji, text}; }
    static IconSpec appIcon(const QString &bundleID) { return {Kind::appIcon, bundleID}; }

    static IconSpec fromJson(const QJsonObject &object);
    QJsonObject toJson() const;
    void write(JsonSink &sink) const;

    bool operator==(const IconSpec &) const = default;
};

} // namespace vima
