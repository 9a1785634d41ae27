#include "model/Settings.h"

#include "model/JsonObjectSink.h"
#include "model/JsonReader.h"
#include "model/RawValues.h"

namespace vima {

namespace {

constexpr RawValues<LLMProviderKind, 4> providerNames{{u"appleOnDevice", u"anthropic", u"openai", u"ollama"}};
constexpr RawValues<LLMProviderKind, 4> defaultModels{{u"on-device", u"claude-sonnet-5", u"gpt-4o", u"llama3.2"}};
constexpr RawValues<AppTheme, 3> themeNames{{u"system", u"light", u"dark"}};
constexpr RawValues<PointerTrigger::Kind, 3> triggerKindNames{
    {u"longPressRightClick", u"mouseButton", u"hotCorner"}};

// The value of an optional key, or the field's default when it is absent.
template<typename T>
T optionalOr(const JsonReader &reader, const QString &key, const T &fallback)
{
    return reader.optional<T>(key).value_or(fallback);
}

} // namespace

const QString AISettings::defaultOllamaBaseURL = QStringLiteral("http://localhost:11434");

HotkeySpec HotkeySpec::fromJson(const QJsonObject &object)
{
    const JsonReader reader(object);
    return {reader.get<quint32>(QStringLiteral("keyCode")),
            reader.get<quint64>(QStringLiteral("modifierFlags"))};
}

QJsonObject HotkeySpec::toJson() const { return JsonObjectSink::build(*this); }

void HotkeySpec::write(JsonSink &sink) const
{
    sink.beginObject();
    sink.field(QLatin1StringView("keyCode"), qint64(keyCode));
    sink.unsignedField(QLatin1StringView("modifierFlags"), modifierFlags);
    sink.endObject();
}

QList<LLMProviderKind> allProviderKinds()
{
    return providerNames.all();
}

QString rawValue(LLMProviderKind kind)
{
    return providerNames.name(kind);
}

std::optional<LLMProviderKind> providerKindFromRawValue(const QString &raw)
{
    return providerNames.parse(raw);
}

QString defaultModel(LLMProviderKind kind)
{
    return defaultModels.name(kind);
}

QString rawValue(AppTheme theme)
{
    return themeNames.name(theme);
}

std::optional<AppTheme> themeFromRawValue(const QString &raw)
{
    return themeNames.parse(raw);
}

AISettings AISettings::fromJson(const QJsonObject &object)
{
    const JsonReader reader(object);
    const AISettings defaults;
    AISettings settings;
    // The provider comes first: a missing model is the default of this provider.
    settings.provider = reader.optionalEnumeration<LLMProviderKind>(QStringLiteral("provider"),
                                                                    providerKindFromRawValue)
                            .value_or(defaults.provider);
    settings.model = optionalOr(reader, QStringLiteral("model"), defaultModel(settings.provider));
    settings.timeout = optionalOr(reader, QStringLiteral("timeout"), defaults.timeout);
    settings.maxTokens = optionalOr(reader, QStringLiteral("maxTokens"), defaults.maxTokens);
    settings.defaultTargetLanguage =
        optionalOr(reader, QStringLiteral("defaultTargetLanguage"), defaults.defaultTargetLanguage);
    settings.autoFallback = optionalOr(reader, QStringLiteral("autoFallback"), defaults.autoFallback);
    settings.ollamaBaseURL = optionalOr(reader, QStringLiteral("ollamaBaseURL"), defaults.ollamaBaseURL);
    return settings;
}

QJsonObject AISettings::toJson() const { return JsonObjectSink::build(*this); }

void AISettings::write(JsonSink &sink) const
{
    sink.beginObject();
    sink.field(QLatin1StringView("autoFallback"), autoFallback);
    sink.field(QLatin1StringView("defaultTargetLanguage"), defaultTargetLanguage);
    sink.field(QLatin1StringView("maxTokens"), maxTokens);
    sink.field(QLatin1StringView("model"), model);
    sink.field(QLatin1StringView("ollamaBaseURL"), ollamaBaseURL);
    sink.field(QLatin1StringView("provider"), rawValue(provider));
    sink.field(QLatin1StringView("timeout"), timeout);
    sink.endObject();
}

Appearance Appearance::fromJson(const QJsonObject &object)
{
    const JsonReader reader(object);
    const Appearance defaults;
    Appearance appearance;
    appearance.theme = reader.optionalEnumeration<AppTheme>(QStringLiteral("theme"), themeFromRawValue)
                           .value_or(defaults.theme);
    appearance.innerRadius = optionalOr(reader, QStringLiteral("innerRadius"), defaults.innerRadius);
    appearance.outerRadius = optionalOr(reader, QStringLiteral("outerRadius"), defaults.outerRadius);
    appearance.animationDuration =
        optionalOr(reader, QStringLiteral("animationDuration"), defaults.animationDuration);
    appearance.stickyTapThreshold =
        optionalOr(reader, QStringLiteral("stickyTapThreshold"), defaults.stickyTapThreshold);
    appearance.subRingDwell = optionalOr(reader, QStringLiteral("subRingDwell"), defaults.subRingDwell);
    appearance.sizeScale = optionalOr(reader, QStringLiteral("sizeScale"), defaults.sizeScale);
    return appearance;
}

QJsonObject Appearance::toJson() const { return JsonObjectSink::build(*this); }

void Appearance::write(JsonSink &sink) const
{
    sink.beginObject();
    sink.field(QLatin1StringView("animationDuration"), animationDuration);
    sink.field(QLatin1StringView("innerRadius"), innerRadius);
    sink.field(QLatin1StringView("outerRadius"), outerRadius);
    sink.field(QLatin1StringView("sizeScale"), sizeScale);
    sink.field(QLatin1StringView("stickyTapThreshold"), stickyTapThreshold);
    sink.field(QLatin1StringView("subRingDwell"), subRingDwell);
    sink.field(QLatin1StringView("theme"), rawValue(theme));
    sink.endObject();
}

QString PointerTrigger::rawValue(Kind kind)
{
    return triggerKindNames.name(kind);
}

PointerTrigger PointerTrigger::fromJson(const QJsonObject &object)
{
    const JsonReader reader(object);
    const PointerTrigger defaults;
    PointerTrigger trigger;
    trigger.enabled = optionalOr(reader, QStringLiteral("enabled"), defaults.enabled);
    // Lenient on purpose: any kind that does not decode, of whatever JSON
    // type, is the long right-click.
    trigger.kind = triggerKindNames.parse(reader.value(QStringLiteral("kind")).toString())
                       .value_or(Kind::longPressRightClick);
    trigger.holdDelay = optionalOr(reader, QStringLiteral("holdDelay"), defaults.holdDelay);
    trigger.moveSlop = optionalOr(reader, QStringLiteral("moveSlop"), defaults.moveSlop);
    return trigger;
}

QJsonObject PointerTrigger::toJson() const { return JsonObjectSink::build(*this); }

void PointerTrigger::write(JsonSink &sink) const
{
    sink.beginObject();
    sink.field(QLatin1StringView("enabled"), enabled);
    sink.field(QLatin1StringView("holdDelay"), holdDelay);
    sink.field(QLatin1StringView("kind"), rawValue(kind));
    sink.field(QLatin1StringView("moveSlop"), moveSlop);
    sink.endObject();
}

SelectionSettings SelectionSettings::fromJson(const QJsonObject &object)
{
    return {optionalOr(JsonReader(object), QStringLiteral("clipboardFallback"),
                       SelectionSettings().clipboardFallback)};
}

QJsonObject SelectionSettings::toJson() const { return JsonObjectSink::build(*this); }

void SelectionSettings::write(JsonSink &sink) const
{
    sink.beginObject();
    sink.field(QLatin1StringView("clipboardFallback"), clipboardFallback);
    sink.endObject();
}

FeatureFlags FeatureFlags::fromJson(const QJsonObject &object)
{
    return {optionalOr(JsonReader(object), QStringLiteral("contextAwareRings"),
                       FeatureFlags().contextAwareRings)};
}

QJsonObject FeatureFlags::toJson() const { return JsonObjectSink::build(*this); }

void FeatureFlags::write(JsonSink &sink) const
{
    sink.beginObject();
    sink.field(QLatin1StringView("contextAwareRings"), contextAwareRings);
    sink.endObject();
}

} // namespace vima
