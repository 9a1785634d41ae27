#pragma once

#include "model/KeyCodes.h"

#include <QJsonObject>
#include <QList>
#include <QString>
#include <optional>

namespace vima {

class JsonSink;

// The global hotkey: a virtual key code (49 is Space) and modifier bits in the
// file's encoding (Shift 0x20000, Control 0x40000, Option 0x80000, Command 0x100000).
struct HotkeySpec {
    static constexpr quint64 shift = modifiers::shift;
    static constexpr quint64 control = modifiers::control;
    static constexpr quint64 option = modifiers::option;
    static constexpr quint64 command = modifiers::command;
    static constexpr quint64 modifierMask = modifiers::mask;

    quint32 keyCode = keys::space;
    quint64 modifierFlags = option;

    static HotkeySpec fromJson(const QJsonObject &object);
    QJsonObject toJson() const;
    void write(JsonSink &sink) const;

    // A bare key is never registered: at least one of the four modifiers.
    bool isUsable() const { return (modifierFlags & modifierMask) != 0; }

    bool operator==(const HotkeySpec &) const = default;
};

enum class LLMProviderKind { appleOnDevice, anthropic, openai, ollama };

QList<LLMProviderKind> allProviderKinds();
QString rawValue(LLMProviderKind kind);
std::optional<LLMProviderKind> providerKindFromRawValue(const QString &raw);
QString defaultModel(LLMProviderKind kind);

enum class AppTheme { system, light, dark };

QString rawValue(AppTheme theme);
std::optional<AppTheme> themeFromRawValue(const QString &raw);

struct AISettings {
    static const QString defaultOllamaBaseURL; // "http://localhost:11434"

    // This system has no on-device model: a fresh configuration asks the
    // local Ollama server, so nothing leaves the machine until the user says so.
    LLMProviderKind provider = LLMProviderKind::ollama;
    QString model = defaultModel(LLMProviderKind::ollama);
    double timeout = 45.0;
    qint64 maxTokens = 2048;
    QString defaultTargetLanguage = QStringLiteral("Spanish");
    bool autoFallback = true;
    QString ollamaBaseURL = defaultOllamaBaseURL;

    static AISettings fromJson(const QJsonObject &object);
    QJsonObject toJson() const;
    void write(JsonSink &sink) const;

    bool operator==(const AISettings &) const = default;
};

// Lengths in points, durations in seconds.
struct Appearance {
    AppTheme theme = AppTheme::system;
    double innerRadius = 48.0;
    double outerRadius = 138.0;
    double animationDuration = 0.18;
    double stickyTapThreshold = 0.28;
    double subRingDwell = 0.22;
    double sizeScale = 1.0;

    static Appearance fromJson(const QJsonObject &object);
    QJsonObject toJson() const;
    void write(JsonSink &sink) const;

    bool operator==(const Appearance &) const = default;
};

struct PointerTrigger {
    enum class Kind { longPressRightClick, mouseButton, hotCorner };

    bool enabled = false;
    Kind kind = Kind::longPressRightClick;
    double holdDelay = 0.25;
    double moveSlop = 6.0;

    static QString rawValue(Kind kind);
    static PointerTrigger fromJson(const QJsonObject &object);
    QJsonObject toJson() const;
    void write(JsonSink &sink) const;

    bool operator==(const PointerTrigger &) const = default;
};

struct SelectionSettings {
    bool clipboardFallback = true;

    static SelectionSettings fromJson(const QJsonObject &object);
    QJsonObject toJson() const;
    void write(JsonSink &sink) const;

    bool operator==(const SelectionSettings &) const = default;
};

struct FeatureFlags {
    bool contextAwareRings = true;

    static FeatureFlags fromJson(const QJsonObject &object);
    QJsonObject toJson() const;
    void write(JsonSink &sink) const;

    bool operator==(const FeatureFlags &) const = default;
};

} // namespace vima
