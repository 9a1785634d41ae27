#include "ui/PlainText.h"

#include "model/Text.h"

#include <QTextDocument>

namespace vima {

QString plainToolTip(const QString &text)
{
    const QString shown = Text::cut(text, longestToolTip);
    return Qt::mightBeRichText(shown) ? Qt::convertFromPlainText(shown, Qt::WhiteSpacePre) : shown;
}

QString plainWindowTitle(const QString &text)
{
    const QString marker = QStringLiteral("[*]");
    return Text::cut(text, longestWindowTitle).replace(marker, marker + marker);
}

} // namespace vima
