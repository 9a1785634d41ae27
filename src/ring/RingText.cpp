#include "ring/RingText.h"

#include "model/Text.h"

#include <QFontMetricsF>

namespace vima {

QString RingText::bounded(const QString &text)
{
    return Text::cut(text, longestName);
}

QString RingText::elided(const QString &text, const QFont &font)
{
    return QFontMetricsF(font).elidedText(bounded(text), Qt::ElideRight, widestText, Qt::TextSingleLine);
}

} // namespace vima
