#include "model/ItemAction.h"

#include "model/JsonObjectSink.h"
#include "model/JsonReader.h"
#include "model/JsonWriter.h"
#include "model/RawValues.h"
#include "model/Text.h"

namespace vima {

namespace {

using Kind = ItemAction::Kind;

constexpr RawValues<Kind, 6> kindNames{
    {u"launchApp", u"open", u"shell", u"appleScript", u"ai", u"openRing"}};
constexpr RawValues<Kind, 6> defaultTitles{
    {u"Open App", u"Open", u"Run Script", u"Run AppleScript", u"AI Action", u"More"}};
constexpr RawValues<Kind, 6> longTitles{{u"Open App", u"Open URL / File", u"Run Shell Script",
                                         u"Run AppleScript", u"AI Action on Selection",
                                         u"Open a Pack"}};
constexpr RawValues<Kind, 6> defaultSymbols{
    {u"app", u"link", u"terminal", u"scroll", u"sparkles", u"circle.grid.cross"}};
constexpr RawValues<ResultHandling, 2> resultHandlingNames{{u"replaceSelection", u"showPopover"}};

template<typename... Visitors>
struct Overloaded : Visitors... {
    using Visitors::operator()...;
};

const QString languagePlaceholder = QStringLiteral("{{language}}");

LaunchAppPayload readLaunchApp(const JsonReader &reader)
{
    return {reader.optional<QString>(QStringLiteral("bundleID")),
            reader.optional<QString>(QStringLiteral("path"))};
}

OpenPayload readOpen(const JsonReader &reader)
{
    return {reader.get<QString>(QStringLiteral("target"))};
}

ShellPayload readShell(const JsonReader &reader)
{
    return {reader.get<QString>(QStringLiteral("script")),
            reader.get<QString>(QStringLiteral("shell")),
            reader.get<bool>(QStringLiteral("showOutput"))};
}

AppleScriptPayload readAppleScript(const JsonReader &reader)
{
    return {reader.get<QString>(QStringLiteral("source")),
            reader.get<bool>(QStringLiteral("showOutput"))};
}

AIPayload readAI(const JsonReader &reader)
{
    AIPayload payload;
    payload.systemPrompt = reader.get<QString>(QStringLiteral("systemPrompt"));
    payload.resultHandling = reader.optionalEnumeration<ResultHandling>(
                                      QStringLiteral("resultHandling"),
                                      [](const QString &raw) { return resultHandlingNames.parse(raw); })
                                 .value_or(ResultHandling::showPopover);
    payload.targetLanguage = reader.optional<QString>(QStringLiteral("targetLanguage"));
    payload.modelOverride = reader.optional<QString>(QStringLiteral("modelOverride"));
    payload.needsStrongModel = reader.optional<bool>(QStringLiteral("needsStrongModel")).value_or(false);
    return payload;
}

OpenRingPayload readOpenRing(const JsonReader &reader)
{
    return {reader.get<QUuid>(QStringLiteral("ringID"))};
}

ItemAction readPayload(Kind kind, const JsonReader &reader)
{
    switch (kind) {
    case Kind::launchApp:
        return {readLaunchApp(reader)};
    case Kind::open:
        return {readOpen(reader)};
    case Kind::shell:
        return {readShell(reader)};
    case Kind::appleScript:
        return {readAppleScript(reader)};
    case Kind::ai:
        return {readAI(reader)};
    case Kind::openRing:
        return {readOpenRing(reader)};
    }
    Q_UNREACHABLE();
    return {};
}

void writePayload(JsonSink &sink, const LaunchAppPayload &payload)
{
    sink.field(QLatin1StringView("bundleID"), payload.bundleID);
    sink.field(QLatin1StringView("path"), payload.path);
}

void writePayload(JsonSink &sink, const OpenPayload &payload)
{
    sink.field(QLatin1StringView("target"), payload.target);
}

void writePayload(JsonSink &sink, const ShellPayload &payload)
{
    sink.field(QLatin1StringView("script"), payload.script);
    sink.field(QLatin1StringView("shell"), payload.shell);
    sink.field(QLatin1StringView("showOutput"), payload.showOutput);
}

void writePayload(JsonSink &sink, const AppleScriptPayload &payload)
{
    sink.field(QLatin1StringView("showOutput"), payload.showOutput);
    sink.field(QLatin1StringView("source"), payload.source);
}

void writePayload(JsonSink &sink, const AIPayload &payload)
{
    sink.field(QLatin1StringView("modelOverride"), payload.modelOverride);
    sink.field(QLatin1StringView("needsStrongModel"), payload.needsStrongModel);
    sink.field(QLatin1StringView("resultHandling"), rawValue(payload.resultHandling));
    sink.field(QLatin1StringView("systemPrompt"), payload.systemPrompt);
    sink.field(QLatin1StringView("targetLanguage"), payload.targetLanguage);
}

void writePayload(JsonSink &sink, const OpenRingPayload &payload)
{
    sink.field(QLatin1StringView("ringID"), JsonWriter::uuidText(payload.ringID));
}

QString aiSummaryText(const AIPayload &payload)
{
    QString prompt = payload.systemPrompt;
    if (payload.targetLanguage && !payload.targetLanguage->isEmpty())
        prompt.replace(languagePlaceholder, *payload.targetLanguage);
    return prompt;
}

} // namespace

QList<ItemAction::Kind> ItemAction::allKinds()
{
    return kindNames.all();
}

QString ItemAction::rawValue(Kind kind)
{
    return kindNames.name(kind);
}

std::optional<ItemAction::Kind> ItemAction::kindFromRawValue(const QString &raw)
{
    return kindNames.parse(raw);
}

QString ItemAction::defaultTitle(Kind kind)
{
    return defaultTitles.name(kind);
}

QString ItemAction::longTitle(Kind kind)
{
    return longTitles.name(kind);
}

QString ItemAction::defaultSymbol(Kind kind)
{
    return defaultSymbols.name(kind);
}

ItemAction ItemAction::defaultAction(Kind kind)
{
    switch (kind) {
    case Kind::launchApp:
        return {LaunchAppPayload{}};
    case Kind::open:
        return {OpenPayload{}};
    case Kind::shell:
        return {ShellPayload{QString(), QStringLiteral("/bin/zsh"), false}};
    case Kind::appleScript:
        return {AppleScriptPayload{}};
    case Kind::ai:
        return {AIPayload{QStringLiteral("You are a helpful assistant."), ResultHandling::showPopover,
                          std::nullopt, std::nullopt, false}};
    case Kind::openRing:
        return {OpenRingPayload{QUuid::createUuid()}};
    }
    Q_UNREACHABLE();
    return {};
}

QString ItemAction::summary() const
{
    return std::visit(
        Overloaded{
            [](const LaunchAppPayload &launch) {
                return launch.bundleID.value_or(launch.path.value_or(QStringLiteral("No app chosen")));
            },
            [](const OpenPayload &open) {
                return open.target.isEmpty() ? QStringLiteral("No target") : open.target;
            },
            [](const ShellPayload &shell) { return Text::firstLineCut(shell.script); },
            [](const AppleScriptPayload &script) { return Text::firstLineCut(script.source); },
            [](const AIPayload &ai) { return Text::firstLineCut(aiSummaryText(ai)); },
            [](const OpenRingPayload &) { return QStringLiteral("Opens a nested ring"); },
        },
        payload);
}

ItemAction ItemAction::fromJson(const QJsonObject &object)
{
    const JsonReader reader(object);
    const Kind kind = reader.enumeration<Kind>(QStringLiteral("type"), kindFromRawValue);
    const QJsonObject payload = reader.get<QJsonObject>(QStringLiteral("payload"));
    return JsonReader::at(QStringLiteral("payload"),
                          [&] { return readPayload(kind, JsonReader(payload)); });
}

QJsonObject ItemAction::toJson() const { return JsonObjectSink::build(*this); }

void ItemAction::write(JsonSink &sink) const
{
    sink.beginObject();
    sink.key(QLatin1StringView("payload"));
    sink.beginObject();
    std::visit([&sink](const auto &p) { writePayload(sink, p); }, payload);
    sink.endObject();
    sink.field(QLatin1StringView("type"), rawValue(kind()));
    sink.endObject();
}

QString rawValue(ResultHandling handling)
{
    return resultHandlingNames.name(handling);
}

} // namespace vima
