#pragma once

#include "model/RingItem.h"

#include <QList>
#include <QString>

namespace vima {

// The five starter AI slots at slots first … first + 4: Rewrite, Summarize,
// Translate (carrying `language`), Explain and Custom.
QList<RingItem> starterItems(qint64 first, const QString &language);

RingItem rewriteItem(qint64 slot);
RingItem summarizeItem(qint64 slot);
RingItem translateItem(qint64 slot, const QString &language);
RingItem explainItem(qint64 slot);
RingItem customItem(qint64 slot);

} // namespace vima
