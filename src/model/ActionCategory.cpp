#include "model/ActionCategory.h"

#include <array>

namespace vima {

namespace {

struct CategoryInfo {
    ActionCategory category;
    const char *rawValue;
    const char *title;
    const char *symbol;
};

constexpr std::array<CategoryInfo, 9> categories{{
    {ActionCategory::writing, "writing", "Writing", "pencil.line"},
    {ActionCategory::email, "email", "Email & Messages", "envelope"},
    {ActionCategory::reading, "reading", "Reading", "book"},
    {ActionCategory::language, "language", "Language", "globe"},
    {ActionCategory::creative, "creative", "Video & Design", "paintbrush.pointed"},
    {ActionCategory::developer, "developer", "Developer",
     "chevron.left.forwardslash.chevron.right"},
    {ActionCategory::data, "data", "Data", "tablecells"},
    {ActionCategory::system, "system", "System", "macwindow"},
    {ActionCategory::apps, "apps", "Apps", "square.grid.3x3"},
}};

const CategoryInfo &info(ActionCategory category)
{
    return categories[static_cast<std::size_t>(category)];
}

} // namespace

QList<ActionCategory> allActionCategories()
{
    QList<ActionCategory> all;
    for (const auto &entry : categories)
        all.append(entry.category);
    return all;
}

QString rawValue(ActionCategory category)
{
    return QString::fromLatin1(info(category).rawValue);
}

std::optional<ActionCategory> actionCategoryFromRawValue(const QString &raw)
{
    for (const auto &entry : categories) {
        if (raw == QLatin1String(entry.rawValue))
            return entry.category;
    }
    return std::nullopt;
}

QString title(ActionCategory category)
{
    return QString::fromUtf8(info(category).title);
}

QString symbol(ActionCategory category)
{
    return QString::fromLatin1(info(category).symbol);
}

} // namespace vima
