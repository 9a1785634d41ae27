#pragma once

#include "model/Text.h"
#include "ring/RingText.h"
#include "ui/PlainText.h"

#include <QString>

namespace vima {

// A name from the configuration (a ring's, a pack's, an item's) as the
// settings show it: "Untitled" when empty, else cut before any layout.
inline QString shownName(const QString &name)
{
    return name.isEmpty() ? QStringLiteral("Untitled") : RingText::bounded(name);
}

// A message that may quote the configuration or a file (an error, a notice).
inline QString shownMessage(const QString &text) { return Text::cut(text, 1'000); }

// A name in a sentence: in quotation marks, cut, set apart from the words around it.
inline QString quotedName(const QString &name)
{
    return QStringLiteral("“") + isolated(RingText::bounded(name)) + QStringLiteral("”");
}

} // namespace vima
