#include "model/IconSpec.h"

#include "model/JsonError.h"
#include "model/JsonObjectSink.h"
#include "model/JsonReader.h"
#include "model/RawValues.h"

namespace vima {

namespace {

constexpr RawValues<IconSpec::Kind, 3> kindNames{{u"symbol", u"emoji", u"appIcon"}};

} // namespace

IconSpec IconSpec::fromJson(const QJsonObject &object)
{
    const JsonReader reader(object);
    const QString kind = reader.get<QString>(QStringLiteral("kind"));
    const QString value = reader.get<QString>(QStringLiteral("value"));
    if (const std::optional<Kind> known = kindNames.parse(kind))
        return {*known, value};
    JsonError error(JsonError::Kind::dataCorrupted,
                    QStringLiteral("Unknown icon kind '%1'").arg(kind));
    error.prependKey(QStringLiteral("kind"));
    throw error;
}

QJsonObject IconSpec::toJson() const { return JsonObjectSink::build(*this); }

void IconSpec::write(JsonSink &sink) const
{
    sink.beginObject();
    sink.field(QLatin1StringView("kind"), kindNames.name(kind));
    sink.field(QLatin1StringView("value"), value);
    sink.endObject();
}

} // namespace vima
