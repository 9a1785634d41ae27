#include "settings/ai/ModelChoice.h"

#include "ai/OllamaReachability.h"

#include <algorithm>

namespace vima {

namespace {

bool listed(const QStringList &names, const QString &model)
{
    return std::ranges::any_of(names, [&model](const QString &name) {
        return OllamaReachability::sameModel(name, model);
    });
}

} // namespace

QList<ModelChoice> ModelChoice::menu(const std::optional<QStringList> &served, const QStringList &suggested,
                                     const QString &chosen)
{
    QStringList names;
    for (const QString &name : served.value_or(QStringList()) + suggested) {
        if (!listed(names, name))
            names << name;
    }
    const bool missing = served && !chosen.trimmed().isEmpty() && !listed(*served, chosen);
    // A model of the user's own naming shows too, so that the mark can say it is missing.
    if (missing && !listed(names, chosen))
        names << chosen.trimmed();
    QList<ModelChoice> choices;
    for (const QString &name : std::as_const(names)) {
        const bool marked = missing && OllamaReachability::sameModel(name, chosen);
        choices.append({name, marked ? name + QStringLiteral(" (not pulled)") : name});
    }
    return choices;
}

} // namespace vima
