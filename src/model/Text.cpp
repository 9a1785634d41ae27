#include "model/Text.h"

#include <QTextBoundaryFinder>
#include <QVarLengthArray>

#include <algorithm>
#include <array>

namespace vima {

namespace {

// How much of a text a walk reads at a time, in UTF-16 units: four times the
// longest character.
constexpr qsizetype window = 256;
static_assert(window >= 4 * 2 * Text::longestCharacter);

// Whether `at` falls between the halves of a surrogate pair.
bool splitsPair(QStringView text, qsizetype at)
{
    return at > 0 && at < text.size() && text.at(at - 1).isHighSurrogate() && text.at(at).isLowSurrogate();
}

// How much of `text` from `start` a window reads: never half of a surrogate
// pair, whose one half would be read as a character of its own.
qsizetype windowLength(QStringView text, qsizetype start)
{
    const qsizetype end = std::min(start + window, text.size());
    return end - start + (splitsPair(text, end) ? 1 : 0);
}

// Whether a walk may start afresh at the boundary `at`. Qt's boundary finder
// carries what it saw before a boundary only into a regional indicator (flags
// are pairs of them) that follows something else, so a window starts at one
// only inside a run of them, where pairs start afresh.
bool isFreshStart(QStringView text, qsizetype at)
{
    const auto isRegionalIndicator = [&](qsizetype high) {
        if (high < 0 || high + 1 >= text.size() || !text.at(high).isHighSurrogate() || !text.at(high + 1).isLowSurrogate())
            return false;
        const char32_t codePoint = QChar::surrogateToUcs4(text.at(high), text.at(high + 1));
        return codePoint >= 0x1F1E6 && codePoint <= 0x1F1FF;
    };
    return !isRegionalIndicator(at) || isRegionalIndicator(at - 2);
}

// Where `text` has read `count` code points, or its end.
qsizetype codePointsEnd(QStringView text, qsizetype count)
{
    qsizetype at = 0;
    for (; count > 0 && at < text.size(); --count)
        at += text.at(at).isHighSurrogate() && at + 1 < text.size() && text.at(at + 1).isLowSurrogate() ? 2 : 1;
    return at;
}

// Whether `text` holds more than Text::longestCharacter code points.
bool isOverLong(QStringView text)
{
    return text.size() > Text::longestCharacter && codePointsEnd(text, Text::longestCharacter) < text.size();
}

// Calls `visit(grapheme, end, whole)` with each grapheme until it returns
// false. Of a grapheme longer than Text::longestCharacter code points only
// the first ones are visited (`whole` false), and the walk starts afresh
// after them: no walk reads far past what it visits.
// The text is read a window at a time, so a walk that stops early costs what
// it read, not the length of the text. A window's last boundary is not trusted
// (the text goes on), and the next window starts where the finder's reading
// matches the whole text's, so the boundaries are those of the whole text
// (where a window has no such place, it starts at the first boundary).
template<typename Visit>
void forEachGrapheme(QStringView text, Visit visit)
{
    qsizetype start = 0;
    while (start < text.size()) {
        const QStringView part = text.sliced(start, windowLength(text, start));
        const bool isLast = start + part.size() == text.size();
        std::array<unsigned char, window + 2> buffer; // spares the finder an allocation
        QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, part, buffer.data(), qsizetype(buffer.size()));
        QVarLengthArray<qsizetype, window> ends;
        for (qsizetype end = finder.toNextBoundary(); end != -1; end = finder.toNextBoundary()) {
            // Qt's finder may put one inside a surrogate pair (seen after a
            // spacing mark at a window's start).
            if ((isLast || end < part.size()) && !splitsPair(part, end))
                ends.append(end);
        }
        qsizetype trusted = ends.size();
        while (!isLast && trusted > 0 && !isFreshStart(text, start + ends[trusted - 1]))
            --trusted;
        qsizetype from = 0;
        bool overLong = false;
        qsizetype i = 0;
        for (; i < ends.size() && (i < trusted || from == 0); ++i) {
            const QStringView grapheme = part.sliced(from, ends[i] - from);
            overLong = isOverLong(grapheme);
            if (overLong)
                break;
            if (!visit(grapheme, start + ends[i], true))
                return;
            from = ends[i];
        }
        if (i == ends.size() && !isLast)
            overLong = isOverLong(part.sliced(from));
        if (overLong) {
            const qsizetype kept = codePointsEnd(part.sliced(from), Text::longestCharacter);
            if (!visit(part.sliced(from, kept), start + from + kept, false))
                return;
            from += kept;
        }
        start += from;
    }
}

struct Prefix {
    qsizetype end = 0; // where the kept graphemes end
    bool more = false; // whether a grapheme follows them
};

// The first `count` graphemes of `text`; a line feed ends the text when
// `toLineFeed`, and so does a grapheme too long to be whole.
Prefix prefix(QStringView text, qsizetype count, bool toLineFeed)
{
    Prefix kept;
    qsizetype taken = 0;
    forEachGrapheme(text, [&](QStringView grapheme, qsizetype end, bool whole) {
        if (toLineFeed && grapheme == u"\n")
            return false;
        kept.more = taken == count;
        if (kept.more)
            return false;
        ++taken;
        kept.end = end;
        kept.more = !whole;
        return whole;
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
    forEachGrapheme(text, [&](QStringView grapheme, qsizetype, bool) {
        result.append(grapheme.toString());
        return true;
    });
    return result;
}

qsizetype Text::graphemeCount(const QString &text)
{
    qsizetype count = 0;
    forEachGrapheme(text, [&](QStringView, qsizetype, bool) {
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
    if (text.size() <= std::min(limit, longestCharacter))
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
