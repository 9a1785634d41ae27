#pragma once

#include <QJsonObject>
#include <QList>
#include <QString>
#include <QUuid>
#include <optional>
#include <variant>

namespace vima {

class JsonSink;

enum class ResultHandling { replaceSelection, showPopover };

struct LaunchAppPayload {
    std::optional<QString> bundleID;
    std::optional<QString> path;
    bool operator==(const LaunchAppPayload &) const = default;
};

struct OpenPayload {
    QString target;
    bool operator==(const OpenPayload &) const = default;
};

struct ShellPayload {
    QString script;
    QString shell;
    bool showOutput = false;
    bool operator==(const ShellPayload &) const = default;
};

struct AppleScriptPayload {
    QString source;
    bool showOutput = false;
    bool operator==(const AppleScriptPayload &) const = default;
};

struct AIPayload {
    QString systemPrompt;
    ResultHandling resultHandling = ResultHandling::showPopover;
    std::optional<QString> targetLanguage;
    std::optional<QString> modelOverride;
    bool needsStrongModel = false;
    bool operator==(const AIPayload &) const = default;
};

struct OpenRingPayload {
    QUuid ringID;
    bool operator==(const OpenRingPayload &) const = default;
};

// What choosing a slot does: one of six kinds, each with its own payload.
// The variant's alternatives are in the order of ItemAction::Kind.
struct ItemAction {
    enum class Kind { launchApp, open, shell, appleScript, ai, openRing };

    std::variant<LaunchAppPayload, OpenPayload, ShellPayload, AppleScriptPayload, AIPayload,
                 OpenRingPayload>
        payload;

    Kind kind() const { return static_cast<Kind>(payload.index()); }

    static QList<Kind> allKinds();
    static QString rawValue(Kind kind);
    static std::optional<Kind> kindFromRawValue(const QString &raw);
    static QString defaultTitle(Kind kind);
    static QString longTitle(Kind kind);
    static QString defaultSymbol(Kind kind);

    // A fresh action of the kind, as a new or re-kinded slot gets it.
    static ItemAction defaultAction(Kind kind);
    // The one-line description shown in the settings' item lists.
    QString summary() const;

    static ItemAction fromJson(const QJsonObject &object);
    QJsonObject toJson() const;
    void write(JsonSink &sink) const;

    bool operator==(const ItemAction &) const = default;
};

QString rawValue(ResultHandling handling);

} // namespace vima
