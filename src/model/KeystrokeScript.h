#pragma once

#include <QString>

namespace vima {

// AppleScript that brings an application to the front, waits 50 ms and sends
// it a keystroke through System Events. `modifiers` is AppleScript's own list
// text, e.g. "command down, shift down".
QString keystrokeScript(const QString &key, const QString &modifiers, const QString &bundleID);
// The same, naming Safari by its name rather than its bundle identifier.
QString safariKeystrokeScript(const QString &key, const QString &modifiers);

// `text` as an AppleScript string literal, quotes included.
QString appleScriptStringLiteral(const QString &text);

} // namespace vima
