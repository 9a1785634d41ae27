#pragma once

#include "model/JsonError.h"
#include "model/JsonReader.h"

#include <QByteArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QString>
#include <QTest>
#include <optional>

namespace vima::test {

inline QJsonObject object(const char *json)
{
    return JsonReader::parse(QByteArray(json));
}

// The error that reading `json` as T throws, or none when it reads.
template<typename T>
std::optional<JsonError> readError(const QJsonObject &json)
{
    try {
        T::fromJson(json);
    } catch (const JsonError &error) {
        return error;
    }
    return std::nullopt;
}

// The value after a trip through the file's text form.
template<typename T>
T throughText(const T &value)
{
    return T::fromJson(JsonReader::parse(QJsonDocument(value.toJson()).toJson()));
}

} // namespace vima::test
