#include "model/KeystrokeScript.h"

#include "model/KeyCodes.h"

#include <QStringList>
#include <algorithm>
#include <array>
#include <utility>

namespace vima {

namespace {

// AppleScript's modifier words, in the order scripts list them.
const std::array<std::pair<const char *, quint64>, 4> modifierWords{{
    {"command down", modifiers::command},
    {"control down", modifiers::control},
    {"option down", modifiers::option},
    {"shift down", modifiers::shift},
}};

QString script(const QString &application, const QString &keys, const QString &modifiers)
{
    return QStringLiteral("tell %1 to activate\n"
                          "delay 0.05\n"
                          "tell application \"System Events\" to %2 using {%3}")
        .arg(application, keys, modifiers);
}

QString applicationWithID(const QString &bundleID)
{
    return QStringLiteral("application id ") + appleScriptStringLiteral(bundleID);
}

} // namespace

QString keystrokeScript(const QString &key, const QString &modifiers, const QString &bundleID)
{
    return script(applicationWithID(bundleID), QStringLiteral("keystroke ") + appleScriptStringLiteral(key),
                  modifiers);
}

QString keyCodeScript(quint32 keyCode, const QString &modifiers, const QString &bundleID)
{
    return script(applicationWithID(bundleID), QStringLiteral("key code %1").arg(keyCode), modifiers);
}

QString keystrokeScript(const KeyChord &chord, const QString &bundleID)
{
    const QString modifiers = appleScriptModifiers(chord.modifierFlags);
    if (const auto *code = std::get_if<quint32>(&chord.key))
        return keyCodeScript(*code, modifiers, bundleID);
    return keystrokeScript(std::get<QString>(chord.key), modifiers, bundleID);
}

QString appleScriptModifiers(quint64 modifierFlags)
{
    QStringList words;
    for (const auto &[word, flag] : modifierWords) {
        if (modifierFlags & flag)
            words.append(QLatin1String(word));
    }
    return words.join(QStringLiteral(", "));
}

std::optional<quint64> appleScriptModifierFlags(const QString &list)
{
    quint64 flags = 0;
    for (const QString &word : list.split(u',', Qt::SkipEmptyParts)) {
        const QString trimmed = word.trimmed();
        const auto known = std::find_if(modifierWords.begin(), modifierWords.end(),
                                        [&](const auto &entry) { return trimmed == QLatin1String(entry.first); });
        if (known == modifierWords.end())
            return std::nullopt;
        flags |= known->second;
    }
    return flags;
}

QString appleScriptStringLiteral(const QString &text)
{
    QString escaped = text;
    escaped.replace(u'\\', QLatin1String("\\\\"));
    escaped.replace(u'"', QLatin1String("\\\""));
    return u'"' + escaped + u'"';
}

} // namespace vima
