#pragma once

#include <QString>
#include <optional>

namespace vima {

// Nothing when the text is empty or only white space and line breaks; else
// the text itself, untrimmed.
std::optional<QString> nilIfBlank(const QString &text);

// The part of `text` at a UTF-16 offset and length; nothing when the range is
// negative, empty, runs past the text or cuts a character in two.
std::optional<QString> substring(const QString &text, qint64 utf16Offset, qint64 length);

// Trimmed text, or the placeholder when nothing is left.
QString orPlaceholder(const QString &text, const QString &placeholder);

} // namespace vima
