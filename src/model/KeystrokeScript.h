#pragma once

#include "model/KeyChord.h"

#include <QString>
#include <QtGlobal>
#include <optional>

namespace vima {

// AppleScript that brings an application to the front, waits 50 ms and sends
// it a keystroke through System Events. `modifiers` is AppleScript's own list
// text, e.g. "command down, shift down".
QString keystrokeScript(const QString &key, const QString &modifiers, const QString &bundleID);
// The same for a key that types no character, by its key code.
QString keyCodeScript(quint32 keyCode, const QString &modifiers, const QString &bundleID);
// The same for a chord, by its character or key code.
QString keystrokeScript(const KeyChord &chord, const QString &bundleID);

// AppleScript's list text for modifier bits ("command down, shift down"), and
// back; none for a word other than command, control, option and shift down.
QString appleScriptModifiers(quint64 modifierFlags);
std::optional<quint64> appleScriptModifierFlags(const QString &list);

// `text` as an AppleScript string literal, quotes included.
QString appleScriptStringLiteral(const QString &text);

} // namespace vima
