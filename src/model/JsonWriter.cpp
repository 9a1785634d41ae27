#include "model/JsonWriter.h"

#include "model/JsonError.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <cmath>

namespace vima {

namespace {

void checkEncodable(const QJsonValue &value);

void checkObject(const QJsonObject &object)
{
    for (auto it = object.begin(); it != object.end(); ++it) {
        try {
            checkEncodable(it.value());
        } catch (JsonError &error) {
            error.prependKey(it.key());
            throw;
        }
    }
}

void checkArray(const QJsonArray &array)
{
    for (qsizetype index = 0; index < array.size(); ++index) {
        try {
            checkEncodable(array.at(index));
        } catch (JsonError &error) {
            error.prependIndex(index);
            throw;
        }
    }
}

void checkEncodable(const QJsonValue &value)
{
    if (value.isObject())
        checkObject(value.toObject());
    else if (value.isArray())
        checkArray(value.toArray());
    else if (value.isDouble() && !std::isfinite(value.toDouble()))
        throw JsonError(JsonError::Kind::notEncodable,
                        QStringLiteral("%1 cannot be written as JSON").arg(value.toDouble()));
}

} // namespace

QByteArray JsonWriter::encode(const QJsonObject &object)
{
    checkObject(object);
    // QJsonObject keeps its keys sorted and the writer never escapes "/".
    return QJsonDocument(object).toJson(QJsonDocument::Indented);
}

QString JsonWriter::uuidText(const QUuid &uuid)
{
    return uuid.toString(QUuid::WithoutBraces).toUpper();
}

} // namespace vima
