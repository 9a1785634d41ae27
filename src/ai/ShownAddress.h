#pragma once

#include <QString>
#include <QUrl>

namespace vima {

// An address as the user reads it on screen or in the log: its user name and
// password left out, as a proxy's basic authentication often puts them there.
// Requests still go to the address with them.
QString shownAddress(const QUrl &url);

} // namespace vima
