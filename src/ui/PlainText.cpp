#include "ui/PlainText.h"

#include "model/Text.h"

#include <QTextDocument>
#include <algorithm>

namespace vima {

QString plainToolTip(const QString &text)
{
    const QString shown = Text::cut(text, longestToolTip);
    return Qt::mightBeRichText(shown) ? Qt::convertFromPlainText(shown, Qt::WhiteSpacePre) : shown;
}

namespace {

bool movesNeighbours(char32_t c)
{
    switch (QChar::direction(c)) {
    case QChar::DirL:
    case QChar::DirEN:
    case QChar::DirES:
    case QChar::DirET:
    case QChar::DirCS:
    case QChar::DirNSM:
    case QChar::DirBN:
    case QChar::DirS:
    case QChar::DirWS:
    case QChar::DirON:
        return false;
    default: // right-to-left letters and numbers, direction controls, paragraph ends
        return true;
    }
}

} // namespace

QString isolated(const QString &text)
{
    const QList<uint> points = text.toUcs4(); // right-to-left scripts past the first plane too
    if (std::none_of(points.cbegin(), points.cend(), [](uint c) { return movesNeighbours(c); }))
        return text;
    const QChar open(0x2068), close(0x2069); // first strong isolate, pop directional isolate
    QString out;
    out.reserve(text.size() + 2);
    out += open;
    qsizetype depth = 0; // isolates the text opened itself
    for (const QChar c : text) {
        switch (c.direction()) {
        case QChar::DirLRI:
        case QChar::DirRLI:
        case QChar::DirFSI:
            ++depth;
            break;
        case QChar::DirPDI:
            if (depth == 0)
                continue; // it would close ours
            --depth;
            break;
        case QChar::DirB:
            // A paragraph's end closes every isolate: the next paragraph is set apart anew.
            out += QString(depth, close) + close + c + open;
            depth = 0;
            continue;
        default:
            break;
        }
        out += c;
    }
    return out + QString(depth, close) + close;
}

QString plainWindowTitle(const QString &text)
{
    const QString marker = QStringLiteral("[*]");
    return Text::cut(text, longestWindowTitle).replace(marker, marker + marker);
}

} // namespace vima
