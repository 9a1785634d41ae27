#include "settings/ai/ModelChoice.h"

#include "ai/OllamaReachability.h"
#include "ring/RingText.h"

#include <QSet>

namespace vima {

QList<ModelChoice> ModelChoice::menu(const std::optional<QStringList> &served, const QStringList &suggested,
                                     const QString &chosen)
{
    const QString wanted = chosen.trimmed();
    const QString wantedKey = wanted.isEmpty() ? QString() : OllamaReachability::modelKey(wanted);
    QStringList names;
    QSet<QString> shown;
    const auto offer = [&](const QString &name, const QString &key) {
        if (names.size() < longestMenu && !shown.contains(key)) {
            shown.insert(key);
            names << name;
        }
    };
    // A server may list tens of thousands of models: one pass, each name keyed once.
    std::optional<QString> servedWanted;
    for (const QString &name : served.value_or(QStringList())) {
        const QString key = OllamaReachability::modelKey(name);
        if (!servedWanted && !wantedKey.isEmpty() && key == wantedKey)
            servedWanted = name;
        offer(name, key);
    }
    for (const QString &name : suggested)
        offer(name, OllamaReachability::modelKey(name));

    const bool missing = served && !wanted.isEmpty() && !servedWanted;
    // The chosen model shows even past the bound, or of the user's own naming,
    // so that the mark can say it is missing.
    if ((missing || servedWanted) && !shown.contains(wantedKey))
        names << servedWanted.value_or(wanted);
    QList<ModelChoice> choices;
    choices.reserve(names.size());
    for (const QString &name : std::as_const(names)) {
        const bool marked = missing && OllamaReachability::modelKey(name) == wantedKey;
        const QString shown = RingText::bounded(name);
        choices.append({name, marked ? shown + QStringLiteral(" (not pulled)") : shown});
    }
    return choices;
}

} // namespace vima
