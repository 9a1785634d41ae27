#pragma once

#include "model/JsonError.h"

#include <QByteArray>
#include <QJsonArray>
#include <QJsonObject>
#include <QJsonValue>
#include <QList>
#include <QString>
#include <QUuid>
#include <concepts>
#include <limits>
#include <optional>
#include <type_traits>

namespace vima {

namespace detail {
template<typename T>
inline constexpr bool isQList = false;
template<typename T>
inline constexpr bool isQList<QList<T>> = true;
} // namespace detail

// Strict reading of one JSON object. Every failure throws a JsonError that
// carries the key path; an optional key holding null counts as absent, a
// required key holding null is of the wrong type.
//
// get<T>/optional<T> read strings, Booleans, doubles, integers (range-checked
// against T), UUIDs, raw objects, lists of those, and any type with a static
// fromJson(const QJsonObject &).
class JsonReader {
public:
    explicit JsonReader(const QJsonObject &object)
        : m_object(object)
    {
    }

    // Parses a document whose top level must be an object.
    static QJsonObject parse(const QByteArray &json);
    // Only the 36-character hyphenated form, in either case.
    static std::optional<QUuid> parseUuid(const QString &text);

    // Present and not null.
    bool has(const QString &key) const;
    // The raw value; Undefined when the key is missing.
    QJsonValue value(const QString &key) const { return m_object.value(key); }

    template<typename T>
    T get(const QString &key) const
    {
        const QJsonValue value = m_object.value(key);
        if (value.isUndefined()) {
            JsonError error(JsonError::Kind::missingKey, QStringLiteral("missing required key"));
            error.prependKey(key);
            throw error;
        }
        return at(key, [&] { return decode<T>(value); });
    }

    template<typename T>
    std::optional<T> optional(const QString &key) const
    {
        if (!has(key))
            return std::nullopt;
        return get<T>(key);
    }

    // An enumeration coded as its raw value string.
    template<typename E, typename Parse>
    E enumeration(const QString &key, Parse parse) const
    {
        const QString raw = get<QString>(key);
        return at(key, [&] { return enumValue<E>(raw, parse); });
    }

    template<typename E, typename Parse>
    std::optional<E> optionalEnumeration(const QString &key, Parse parse) const
    {
        if (!has(key))
            return std::nullopt;
        return enumeration<E>(key, parse);
    }

    // Runs `read` with `key` put in front of the path of any error it throws.
    template<typename F>
    static auto at(const QString &key, F read) -> decltype(read())
    {
        try {
            return read();
        } catch (JsonError &error) {
            error.prependKey(key);
            throw;
        }
    }

    template<typename E, typename Parse>
    static E enumValue(const QString &raw, Parse parse)
    {
        if (const std::optional<E> value = parse(raw))
            return *value;
        throw JsonError(JsonError::Kind::dataCorrupted,
                        QStringLiteral("unknown value '%1'").arg(raw));
    }

    template<typename T>
    static T decode(const QJsonValue &value)
    {
        if constexpr (std::is_same_v<T, QString>) {
            return decodeString(value);
        } else if constexpr (std::is_same_v<T, bool>) {
            return decodeBoolean(value);
        } else if constexpr (std::is_same_v<T, double>) {
            return decodeDouble(value);
        } else if constexpr (std::is_same_v<T, QJsonObject>) {
            return decodeObject(value);
        } else if constexpr (std::is_same_v<T, QUuid>) {
            return decodeUuid(value);
        } else if constexpr (std::signed_integral<T>) {
            return static_cast<T>(decodeSigned(value, std::numeric_limits<T>::min(),
                                               std::numeric_limits<T>::max()));
        } else if constexpr (std::unsigned_integral<T>) {
            return static_cast<T>(decodeUnsigned(value, std::numeric_limits<T>::max()));
        } else if constexpr (detail::isQList<T>) {
            return decodeList<typename T::value_type>(value);
        } else {
            return T::fromJson(decodeObject(value));
        }
    }

private:
    template<typename T>
    static QList<T> decodeList(const QJsonValue &value)
    {
        const QJsonArray array = decodeArray(value);
        QList<T> list;
        list.reserve(array.size());
        for (qsizetype index = 0; index < array.size(); ++index) {
            try {
                list.append(decode<T>(array.at(index)));
            } catch (JsonError &error) {
                error.prependIndex(index);
                throw;
            }
        }
        return list;
    }

    static QString decodeString(const QJsonValue &value);
    static bool decodeBoolean(const QJsonValue &value);
    static double decodeDouble(const QJsonValue &value);
    static QUuid decodeUuid(const QJsonValue &value);
    static qint64 decodeSigned(const QJsonValue &value, qint64 min, qint64 max);
    static quint64 decodeUnsigned(const QJsonValue &value, quint64 max);
    static QJsonObject decodeObject(const QJsonValue &value);
    static QJsonArray decodeArray(const QJsonValue &value);

    QJsonObject m_object;
};

} // namespace vima
