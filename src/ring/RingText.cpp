#include "ring/RingText.h"

#include <QFontMetricsF>

namespace vima {

QString RingText::bounded(const QString &text)
{
    if (text.size() <= longestName)
        return text;
    qsizetype end = longestName;
    if (text.at(end - 1).isHighSurrogate())
        --end; // never half a character
    return text.left(end) + QChar(0x2026);
}

QString RingText::elided(const QString &text, const QFont &font)
{
    return QFontMetricsF(font).elidedText(bounded(text), Qt::ElideRight, widestText, Qt::TextSingleLine);
}

} // namespace vima
