#include "model/JsonReader.h"

#include "model/Text.h"

#include <QJsonDocument>
#include <QJsonParseError>
#include <QVariant>
#include <cmath>

namespace vima {

namespace {

QString typeName(const QJsonValue &value)
{
    switch (value.type()) {
    case QJsonValue::Null:
        return QStringLiteral("null");
    case QJsonValue::Bool:
        return QStringLiteral("a Boolean");
    case QJsonValue::Double:
        return QStringLiteral("a number");
    case QJsonValue::String:
        return QStringLiteral("a string");
    case QJsonValue::Array:
        return QStringLiteral("an array");
    case QJsonValue::Object:
        return QStringLiteral("an object");
    case QJsonValue::Undefined:
        break;
    }
    return QStringLiteral("nothing");
}

[[noreturn]] void wrongType(const QString &expected, const QJsonValue &found)
{
    throw JsonError(JsonError::Kind::wrongType,
                    QStringLiteral("expected %1, found %2").arg(expected, typeName(found)));
}

[[noreturn]] void outOfRange(const QString &number, const QString &min, const QString &max)
{
    throw JsonError(JsonError::Kind::outOfRange,
                    QStringLiteral("%1 is out of range (%2…%3)").arg(number, min, max));
}

bool isHexDigit(QChar c)
{
    return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}

// A whole number as read, before the range check of the field.
struct WholeNumber {
    bool isSigned = true;
    qint64 signedValue = 0;
    quint64 unsignedValue = 0; // only for values above the signed range
    QString text;
};

WholeNumber wholeNumber(const QJsonValue &value)
{
    if (!value.isDouble())
        wrongType(QStringLiteral("an integer"), value);
    const QVariant variant = value.toVariant();
    if (variant.typeId() == QMetaType::LongLong) {
        const qint64 number = variant.toLongLong();
        return {true, number, 0, QString::number(number)};
    }
    const double number = value.toDouble();
    if (!std::isfinite(number) || std::trunc(number) != number)
        throw JsonError(JsonError::Kind::wrongType,
                        QStringLiteral("expected an integer, found %1").arg(number));
    constexpr double twoTo63 = 9223372036854775808.0;
    constexpr double twoTo64 = 18446744073709551616.0;
    const QString text = QString::number(number, 'g', 20);
    if (number >= -twoTo63 && number < twoTo63)
        return {true, static_cast<qint64>(number), 0, text};
    if (number >= twoTo63 && number < twoTo64)
        return {false, 0, static_cast<quint64>(number), text};
    throw JsonError(JsonError::Kind::outOfRange,
                    QStringLiteral("%1 does not fit in 64 bits").arg(text));
}

} // namespace

QJsonObject JsonReader::parse(const QByteArray &json)
{
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(json, &parseError);
    if (parseError.error != QJsonParseError::NoError)
        throw JsonError(JsonError::Kind::invalidSyntax,
                        QStringLiteral("not valid JSON at offset %1: %2")
                            .arg(parseError.offset)
                            .arg(parseError.errorString()));
    if (!document.isObject())
        throw JsonError(JsonError::Kind::wrongType, QStringLiteral("expected an object at the top level"));
    return document.object();
}

std::optional<QUuid> JsonReader::parseUuid(const QString &text)
{
    if (text.size() != 36)
        return std::nullopt;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const bool hyphenPosition = i == 8 || i == 13 || i == 18 || i == 23;
        if (hyphenPosition ? text.at(i) != u'-' : !isHexDigit(text.at(i)))
            return std::nullopt;
    }
    return QUuid::fromString(text);
}

bool JsonReader::has(const QString &key) const
{
    const QJsonValue value = m_object.value(key);
    return !value.isUndefined() && !value.isNull();
}

QString JsonReader::decodeString(const QJsonValue &value)
{
    if (!value.isString())
        wrongType(QStringLiteral("a string"), value);
    return value.toString();
}

bool JsonReader::decodeBoolean(const QJsonValue &value)
{
    if (!value.isBool())
        wrongType(QStringLiteral("a Boolean"), value);
    return value.toBool();
}

double JsonReader::decodeDouble(const QJsonValue &value)
{
    if (!value.isDouble())
        wrongType(QStringLiteral("a number"), value);
    return value.toDouble();
}

QUuid JsonReader::decodeUuid(const QJsonValue &value)
{
    const QString text = decodeString(value);
    if (const std::optional<QUuid> uuid = parseUuid(text))
        return *uuid;
    throw JsonError(JsonError::Kind::dataCorrupted, QStringLiteral("invalid UUID '%1'").arg(Text::cut(text, 40)));
}

qint64 JsonReader::decodeSigned(const QJsonValue &value, qint64 min, qint64 max)
{
    const WholeNumber number = wholeNumber(value);
    if (!number.isSigned || number.signedValue < min || number.signedValue > max)
        outOfRange(number.text, QString::number(min), QString::number(max));
    return number.signedValue;
}

quint64 JsonReader::decodeUnsigned(const QJsonValue &value, quint64 max)
{
    const WholeNumber number = wholeNumber(value);
    const bool negative = number.isSigned && number.signedValue < 0;
    const quint64 magnitude =
        number.isSigned ? static_cast<quint64>(number.signedValue) : number.unsignedValue;
    if (negative || magnitude > max)
        outOfRange(number.text, QStringLiteral("0"), QString::number(max));
    return magnitude;
}

QJsonObject JsonReader::decodeObject(const QJsonValue &value)
{
    if (!value.isObject())
        wrongType(QStringLiteral("an object"), value);
    return value.toObject();
}

QJsonArray JsonReader::decodeArray(const QJsonValue &value)
{
    if (!value.isArray())
        wrongType(QStringLiteral("an array"), value);
    return value.toArray();
}

} // namespace vima
