#pragma once

#include <QByteArray>
#include <QJsonArray>
#include <QList>
#include <QJsonObject>
#include <QJsonValue>
#include <QString>
#include <QUuid>
#include <optional>

namespace vima {

// Writing JSON the way the configuration file wants it.
class JsonWriter {
public:
    // Pretty-printed, keys sorted, "/" left unescaped. Throws a JsonError
    // naming the key path when a number is NaN or infinite, which JSON cannot
    // hold (it would otherwise come out as null and fail the next read).
    static QByteArray encode(const QJsonObject &object);

    // The 36-character hyphenated form, upper case.
    static QString uuidText(const QUuid &uuid);
    // Exact below 2^63; beyond that only as a double can hold it.
    static QJsonValue unsignedValue(quint64 value);

    // Each element's toJson(), in order.
    template<typename T>
    static QJsonArray array(const QList<T> &values)
    {
        QJsonArray array;
        for (const T &value : values)
            array.append(value.toJson());
        return array;
    }

    // Writes the key only when the value is set.
    template<typename T>
    static void insertIfSet(QJsonObject &object, const QString &key, const std::optional<T> &value)
    {
        if (value)
            object.insert(key, *value);
    }
};

} // namespace vima
