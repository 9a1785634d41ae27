#include "actions/TextFunctions.h"

#include <QTextBoundaryFinder>

namespace vima {

std::optional<QString> nilIfBlank(const QString &text)
{
    if (text.trimmed().isEmpty())
        return std::nullopt;
    return text;
}

namespace {

bool isCharacterBoundary(const QString &text, qint64 position)
{
    if (position == 0 || position == text.size())
        return true;
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    finder.setPosition(position);
    return finder.isAtBoundary();
}

} // namespace

std::optional<QString> substring(const QString &text, qint64 utf16Offset, qint64 length)
{
    if (utf16Offset < 0 || length < 1)
        return std::nullopt;
    const qint64 end = utf16Offset + length;
    if (utf16Offset > text.size() || end > text.size())
        return std::nullopt;
    if (!isCharacterBoundary(text, utf16Offset) || !isCharacterBoundary(text, end))
        return std::nullopt;
    return text.mid(utf16Offset, length);
}

QString orPlaceholder(const QString &text, const QString &placeholder)
{
    const QString trimmed = text.trimmed();
    return trimmed.isEmpty() ? placeholder : trimmed;
}

} // namespace vima
