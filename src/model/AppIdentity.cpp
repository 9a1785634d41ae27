#include "model/AppIdentity.h"

#include "model/AppSuggestions.h"

#include <algorithm>

namespace vima {

AppIdentity::AppIdentity(const QString &id, const QStringList &windowClasses)
    : ids_(knownIDsOf(id)), windowClasses_(windowClasses)
{
    ids_.removeAll(QString());
    windowClasses_.removeAll(QString());
}

bool AppIdentity::isNamedBy(const QString &name) const
{
    return ids_.contains(name, Qt::CaseInsensitive) || windowClasses_.contains(name, Qt::CaseInsensitive);
}

bool AppIdentity::isNamedByAny(const QStringList &names) const
{
    return std::any_of(names.cbegin(), names.cend(), [this](const QString &name) { return isNamedBy(name); });
}

} // namespace vima
