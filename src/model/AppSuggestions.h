#pragma once

#include "model/RingItem.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace vima {

// Ready-made slots for an application, numbered 0, 1, 2, …: the keys of the
// browsers and file managers this system knows by desktop id (then, for a
// browser, the Summarize and Translate slots), or else a launcher followed by
// Summarize and Translate. Keystroke slots are stored in the keystroke form of
// KeystrokeScript.h and send Linux keys (Ctrl+T, not Command-T).
QList<RingItem> suggestedAppActions(const QString &bundleID, const QString &appName,
                                    const QString &language);

// The desktop ids of the web browsers that have keys above, most common first.
QStringList knownBrowserIDs();
// The name of a browser or file manager above, e.g. "Firefox"; empty for others.
QString knownAppName(const QString &bundleID);
// Every desktop id of the browser or file manager above that `bundleID` is
// one of in any case, `bundleID` first; just `bundleID` for others.
// AppIdentity.h tells by them which names stand for one application.
QStringList knownIDsOf(const QString &bundleID);

} // namespace vima
