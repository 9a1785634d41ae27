#include "model/DefaultRings.h"

#include "model/AppSuggestions.h"
#include "model/StarterItems.h"

#include <QUuid>

namespace vima {

namespace {

RingItem suggested(const QList<RingItem> &suggestions, const char *title, qint64 slot)
{
    for (RingItem item : suggestions) {
        if (item.title == QLatin1String(title)) {
            item.slot = slot;
            return item;
        }
    }
    Q_UNREACHABLE();
}

} // namespace

QList<Ring> defaultContextRings(const QString &language, const QString &browserID)
{
    const QString id = knownBrowserIDs().contains(browserID) ? browserID : knownBrowserIDs().first();
    // The browser's own keys, as its suggestions give them.
    const QList<RingItem> keys = suggestedAppActions(id, QString(), language);
    const QList<RingItem> items{
        suggested(keys, "New Tab", 0),
        suggested(keys, "Reopen Tab", 1),
        summarizeItem(2),
        translateItem(3, language),
        suggested(keys, "New Window", 4),
        suggested(keys, "Downloads", 5),
    };
    return {Ring{QUuid::createUuid(), knownAppName(id), id, false, std::nullopt, items}};
}

} // namespace vima
