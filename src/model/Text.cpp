#include "model/Text.h"

#include <QTextBoundaryFinder>
#include <QVarLengthArray>

#include <algorithm>
#include <array>

namespace vima {

namespace {

// The first window of a walk, in UTF-16 units; each next one is twice the last.
constexpr qsizetype firstWindow = 256;

// How much of `text` from `start` a window of `size` units reads: never half
// of a surrogate pair, whose one half would be read as a character of its own.
qsizetype windowLength(QStringView text, qsizetype start, qsizetype size)
{
    const qsizetype end = std::min(start + size, text.size());
    const bool splitsPair = end < text.size() && text.at(end - 1).isHighSurrogate() && text.at(end).isLowSurrogate();
    return end - start + (splitsPair ? 1 : 0);
}

// Whether a walk may start afresh at the boundary `at`. The boundary finder
// carries what it saw before a boundary only into a regional indicator (flags
// are pairs of them), so a window never starts at one.
bool isFreshStart(QStringView text, qsizetype at)
{
    if (at + 1 >= text.size() || !text.at(at).isHighSurrogate() || !text.at(at + 1).isLowSurrogate())
        return true;
    const char32_t codePoint = QChar::surrogateToUcs4(text.at(at), text.at(at + 1));
    return codePoint < 0x1F1E6 || codePoint > 0x1F1FF;
}

// Calls `visit` with each grapheme until it returns false. The text is read a
// window at a time, so a walk that stops early costs what it read, not the
// length of the text. A window's last boundary is not trusted (the text goes
// on), and the next window starts where the finder's reading matches the whole
// text's, so the boundaries are those of the whole text.
template<typename Visit>
void forEachGrapheme(QStringView text, Visit visit)
{
    qsizetype start = 0;
    for (qsizetype window = firstWindow; start < text.size(); window *= 2) {
        const QStringView part = text.sliced(start, windowLength(text, start, window));
        std::array<unsigned char, firstWindow + 2> buffer; // spares the finder an allocation on a first window
        QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, part, buffer.data(), qsizetype(buffer.size()));
        QVarLengthArray<qsizetype, firstWindow> ends;
        for (qsizetype end = finder.toNextBoundary(); end != -1; end = finder.toNextBoundary())
            ends.append(end);
        if (start + part.size() < text.size()) {
            while (!ends.isEmpty() && (ends.last() == part.size() || !isFreshStart(text, start + ends.last())))
                ends.removeLast();
        }
        qsizetype from = 0;
        for (const qsizetype end : std::as_const(ends)) {
            if (!visit(part.sliced(from, end - from), start + end))
                return;
            from = end;
        }
        start += from;
    }
}

struct Prefix {
    qsizetype end = 0; // where the kept graphemes end
    bool more = false; // whether a grapheme follows them
};

// The first `count` graphemes of `text`; a line feed ends the text when `toLineFeed`.
Prefix prefix(QStringView text, qsizetype count, bool toLineFeed)
{
    Prefix kept;
    qsizetype taken = 0;
    forEachGrapheme(text, [&](QStringView grapheme, qsizetype end) {
        if (toLineFeed && grapheme == u"\n")
            return false;
        kept.more = taken == count;
        if (kept.more)
            return false;
        ++taken;
        kept.end = end;
        return true;
    });
    return kept;
}

QString withEllipsis(QStringView text, Prefix kept)
{
    const QString shown = text.first(kept.end).toString();
    return kept.more ? shown + QChar(0x2026) : shown;
}

} // namespace

QStringList Text::graphemes(const QString &text)
{
    QStringList result;
    forEachGrapheme(text, [&](QStringView grapheme, qsizetype) {
        result.append(grapheme.toString());
        return true;
    });
    return result;
}

qsizetype Text::graphemeCount(const QString &text)
{
    qsizetype count = 0;
    forEachGrapheme(text, [&](QStringView, qsizetype) {
        ++count;
        return true;
    });
    return count;
}

QString Text::leftGraphemes(const QString &text, qsizetype count)
{
    return text.left(prefix(text, count, false).end);
}

QString Text::cut(const QString &text, qsizetype limit)
{
    if (text.size() <= limit)
        return text;
    return withEllipsis(text, prefix(text, limit, false));
}

QString Text::firstLineCut(const QString &text, qsizetype limit)
{
    // A line feed after a carriage return is part of one character ("\r\n"),
    // so leading blank lines are the leading line feeds.
    qsizetype lineStart = 0;
    while (lineStart < text.size() && text.at(lineStart) == u'\n')
        ++lineStart;
    const QStringView line = QStringView(text).sliced(lineStart);
    return withEllipsis(line, prefix(line, limit, true));
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
