#include "ui/PlainText.h"

#include <QTextDocument>

namespace vima {

QString plainToolTip(const QString &text)
{
    return Qt::mightBeRichText(text) ? Qt::convertFromPlainText(text, Qt::WhiteSpacePre) : text;
}

QString plainWindowTitle(const QString &text)
{
    const QString marker = QStringLiteral("[*]");
    return QString(text).replace(marker, marker + marker);
}

} // namespace vima
