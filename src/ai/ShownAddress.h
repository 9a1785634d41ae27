#pragma once

#include <QByteArray>
#include <QString>

namespace vima {

// An address as the user reads it on screen, in the log or through a screen
// reader: the one place that leaves out its user name and password (a proxy's
// basic authentication often puts them there). libcurl, which fetches it,
// says what they are. Where it can't read the address, or reads an '@' past
// the host, all up to the last '@' but the scheme is left out: a password
// holding an unencoded '#', '/', '?' or blank may end there. Requests still
// go to the address as written.
QString shownAddress(const QByteArray &address);
QString shownAddress(const QString &address);

} // namespace vima
