#pragma once

#include "model/Ring.h"

#include <QList>
#include <QString>

namespace vima {

// The per-app rings a fresh configuration carries: one for the desktop's web
// browser (DefaultBrowser::desktopID), with desktop id `browserID`, one of knownBrowserIDs().
QList<Ring> defaultContextRings(const QString &language, const QString &browserID);

} // namespace vima
