#include "model/VimaConfig.h"

#include "model/AppIdentity.h"
#include "model/JsonObjectSink.h"
#include "model/JsonReader.h"
#include "model/JsonWriter.h"

#include <algorithm>

namespace vima {

namespace {

template<typename Keep>
QList<Ring> ringsWhere(const QList<Ring> &rings, Keep keep)
{
    QList<Ring> result;
    std::copy_if(rings.begin(), rings.end(), std::back_inserter(result), keep);
    return result;
}

bool isPage(const Ring &ring)
{
    return !ring.bundleIDMatch && !ring.isSubRing;
}

} // namespace

QString VimaConfig::ownBundleIdentifier()
{
    // Worked out once; function-local statics are initialised thread-safely.
    static const QString identifier = QStringLiteral("com.vima.Vima");
    return identifier;
}

QList<Ring> VimaConfig::globalRings() const
{
    return ringsWhere(rings, isPage);
}

QList<Ring> VimaConfig::appRings() const
{
    return ringsWhere(rings, [](const Ring &ring) { return ring.bundleIDMatch && !ring.isSubRing; });
}

QList<Ring> VimaConfig::subRings() const
{
    return ringsWhere(rings, [](const Ring &ring) { return ring.isSubRing; });
}

Ring VimaConfig::primaryRing() const
{
    const auto page = std::find_if(rings.begin(), rings.end(), isPage);
    if (page != rings.end())
        return *page;
    if (!rings.isEmpty())
        return rings.first();
    Ring fallback;
    fallback.id = QUuid::createUuid();
    fallback.name = QStringLiteral("Default");
    return fallback;
}

std::optional<Ring> VimaConfig::ringWithID(const QUuid &id) const
{
    const auto ring = std::find_if(rings.begin(), rings.end(),
                                   [&](const Ring &candidate) { return candidate.id == id; });
    if (ring == rings.end())
        return std::nullopt;
    return *ring;
}

std::optional<qsizetype> VimaConfig::globalRingIndex(const QUuid &id) const
{
    const QList<Ring> pages = globalRings();
    const auto page = std::find_if(pages.begin(), pages.end(),
                                   [&](const Ring &candidate) { return candidate.id == id; });
    if (page == pages.end())
        return std::nullopt;
    return page - pages.begin();
}

std::optional<QString> VimaConfig::appRingNaming(const QStringList &names) const
{
    const QList<Ring> candidates = appRings();
    const auto find = [&](auto matches) -> std::optional<QString> {
        for (const QString &name : names) {
            for (const Ring &ring : candidates) {
                if (matches(*ring.bundleIDMatch, name))
                    return ring.bundleIDMatch;
            }
        }
        return std::nullopt;
    };
    if (auto same = find([](const QString &id, const QString &name) { return id == name; }))
        return same;
    return find([](const QString &id, const QString &name) { return AppIdentity(id).isNamedBy(name); });
}

VimaConfig::Pages VimaConfig::ringsForApp(const std::optional<QString> &bundleID) const
{
    QList<Ring> pages = globalRings();
    if (pages.isEmpty())
        pages = {primaryRing()};
    if (!featureFlags.contextAwareRings || !bundleID || *bundleID == ownBundleIdentifier())
        return {pages, 0};
    const auto appRing = std::find_if(rings.begin(), rings.end(), [&](const Ring &ring) {
        return ring.bundleIDMatch == bundleID && !ring.isSubRing;
    });
    if (appRing == rings.end())
        return {pages, 0};
    QList<Ring> result{*appRing};
    for (const Ring &page : pages) {
        if (page.id != appRing->id)
            result.append(page);
    }
    return {result, 0};
}

VimaConfig VimaConfig::fromJson(const QJsonObject &object)
{
    const JsonReader reader(object);
    VimaConfig config;
    config.version = reader.get<qint64>(QStringLiteral("version"));
    // Every ring without a count of its own draws this one.
    config.slotCount = Ring::drawnSlotCount(reader.get<qint64>(QStringLiteral("slotCount")));
    config.hotkey = reader.get<HotkeySpec>(QStringLiteral("hotkey"));
    config.rings = reader.get<QList<Ring>>(QStringLiteral("rings"));
    config.ai = reader.get<AISettings>(QStringLiteral("ai"));
    config.appearance = reader.get<Appearance>(QStringLiteral("appearance"));
    config.featureFlags = reader.get<FeatureFlags>(QStringLiteral("featureFlags"));
    config.pointerTrigger =
        reader.optional<PointerTrigger>(QStringLiteral("pointerTrigger")).value_or(PointerTrigger());
    config.selection =
        reader.optional<SelectionSettings>(QStringLiteral("selection")).value_or(SelectionSettings());
    config.savedGroups =
        reader.optional<QList<SavedGroup>>(QStringLiteral("savedGroups")).value_or(QList<SavedGroup>());
    return config;
}

QJsonObject VimaConfig::toJson() const { return JsonObjectSink::build(*this); }

void VimaConfig::write(JsonSink &sink) const
{
    sink.beginObject();
    sink.field(QLatin1StringView("ai"), ai);
    sink.field(QLatin1StringView("appearance"), appearance);
    sink.field(QLatin1StringView("featureFlags"), featureFlags);
    sink.field(QLatin1StringView("hotkey"), hotkey);
    sink.field(QLatin1StringView("pointerTrigger"), pointerTrigger);
    sink.field(QLatin1StringView("rings"), rings);
    sink.field(QLatin1StringView("savedGroups"), savedGroups);
    sink.field(QLatin1StringView("selection"), selection);
    sink.field(QLatin1StringView("slotCount"), slotCount);
    sink.field(QLatin1StringView("version"), version);
    sink.endObject();
}

} // namespace vima
