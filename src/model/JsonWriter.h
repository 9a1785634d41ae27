#pragma once

#include "model/JsonTextSink.h"

#include <QByteArray>
#include <QJsonObject>
#include <QString>
#include <QUuid>

namespace vima {

// Writing JSON the way the configuration file wants it.
class JsonWriter {
public:
    // Pretty-printed, keys sorted, "/" left unescaped. Throws a JsonError
    // naming the key path when a number is NaN or infinite, which JSON cannot
    // hold (it would otherwise come out as null and fail the next read).
    static QByteArray encode(const QJsonObject &object);
    // The same text, written straight from the value.
    template<JsonWritable T>
    static QByteArray encode(const T &value)
    {
        return JsonTextSink::write(value);
    }

    // The 36-character hyphenated form, upper case.
    static QString uuidText(const QUuid &uuid);
};

} // namespace vima
