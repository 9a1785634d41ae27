#include "model/Text.h"

#include <QTextBoundaryFinder>

namespace vima {

namespace {

// Calls `visit` with each grapheme until it returns false.
template<typename Visit>
void forEachGrapheme(const QString &text, Visit visit)
{
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    qsizetype start = 0;
    for (qsizetype end = finder.toNextBoundary(); end != -1; end = finder.toNextBoundary()) {
        if (end == start)
            continue;
        if (!visit(QStringView(text).sliced(start, end - start), start, end))
            return;
        start = end;
    }
}

} // namespace

QStringList Text::graphemes(const QString &text)
{
    QStringList result;
    forEachGrapheme(text, [&](QStringView grapheme, qsizetype, qsizetype) {
        result.append(grapheme.toString());
        return true;
    });
    return result;
}

qsizetype Text::graphemeCount(const QString &text)
{
    qsizetype count = 0;
    forEachGrapheme(text, [&](QStringView, qsizetype, qsizetype) {
        ++count;
        return true;
    });
    return count;
}

QString Text::leftGraphemes(const QString &text, qsizetype count)
{
    qsizetype taken = 0;
    qsizetype length = 0;
    forEachGrapheme(text, [&](QStringView, qsizetype, qsizetype end) {
        if (taken == count)
            return false;
        ++taken;
        length = end;
        return true;
    });
    return text.left(length);
}

QString Text::cut(const QString &text, qsizetype limit)
{
    if (text.size() <= limit)
        return text;
    return leftGraphemes(text.left(limit + 1), limit) + QChar(0x2026);
}

QString Text::firstLineCut(const QString &text, qsizetype limit)
{
    // A line feed that is part of a larger character ("\r\n") does not split.
    qsizetype lineStart = -1;
    qsizetype lineEnd = text.size();
    forEachGrapheme(text, [&](QStringView grapheme, qsizetype start, qsizetype) {
        const bool lineFeed = grapheme == u"\n";
        if (lineStart < 0) {
            if (!lineFeed)
                lineStart = start;
            return true;
        }
        if (lineFeed) {
            lineEnd = start;
            return false;
        }
        return true;
    });
    if (lineStart < 0)
        return QString();
    const QString line = text.sliced(lineStart, lineEnd - lineStart);
    if (graphemeCount(line) <= limit)
        return line;
    return leftGraphemes(line, limit) + QChar(0x2026);
}

QString Text::trimmed(const QString &text)
{
    // QChar::isSpace covers the Unicode separators and the line breaks
    // (LF, VT, FF, CR, NEL, LS, PS).
    return text.trimmed();
}

bool Text::isBlank(const QString &text)
{
    return trimmed(text).isEmpty();
}

} // namespace vima
