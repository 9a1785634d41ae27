#pragma once

#include <QList>
#include <QString>
#include <optional>

namespace vima {

// The library's sections, in the order the library lists them. No built-in
// preset is in `apps`: the library browser files installed applications there.
enum class ActionCategory {
    writing, email, reading, language, creative, developer, data, system, apps
};

QList<ActionCategory> allActionCategories();
QString rawValue(ActionCategory category);
std::optional<ActionCategory> actionCategoryFromRawValue(const QString &raw);
QString title(ActionCategory category);
QString symbol(ActionCategory category);

} // namespace vima
