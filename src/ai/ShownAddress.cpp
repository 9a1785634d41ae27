#include "ai/ShownAddress.h"

#include "ai/CurlUrl.h"
#include "model/LogText.h"

namespace vima {

namespace {

QByteArray withoutAllBeforeLastAt(QByteArray address)
{
    const qsizetype at = address.lastIndexOf('@');
    if (at < 0)
        return address;
    const qsizetype schemeEnd = address.indexOf("://");
    const qsizetype keep = schemeEnd >= 0 && schemeEnd < at ? schemeEnd + 3 : 0;
    return address.remove(keep, at + 1 - keep);
}

} // namespace

QString shownAddress(const QByteArray &address)
{
    const CurlUrl url(address);
    QByteArray shown = address;
    if (url.isValid()) {
        shown = url.withoutUserInfo();
        // libcurl writes "http://host" as "http://host/".
        if (url.isBare() && !address.endsWith('/') && shown.endsWith('/'))
            shown.chop(1);
    }
    if (!url.isValid() || url.hasAtPastHost())
        shown = withoutAllBeforeLastAt(shown);
    return LogText::escaped(QString::fromUtf8(shown));
}

QString shownAddress(const QString &address) { return shownAddress(address.toUtf8()); }

} // namespace vima
