#pragma once

#include "model/RingItem.h"

#include <QList>
#include <QString>

namespace vima {

// Which kind of application a bundle identifier names, for its suggestions.
enum class BrowserFamily { chromium, safari, firefox, finder, other };

BrowserFamily browserFamily(const QString &bundleID);

// Ready-made slots for an application, numbered 0, 1, 2, …: its keystroke
// commands (browsers and Finder) or a launcher, then, except for Finder, the
// Summarize and Translate slots.
QList<RingItem> suggestedAppActions(const QString &bundleID, const QString &appName,
                                    const QString &language);

} // namespace vima
