#include "settings/library/CategoryFilter.h"

namespace vima {

QList<CategoryFilter> CategoryFilter::allCases()
{
    QList<CategoryFilter> cases{CategoryFilter{}};
    for (ActionCategory category : allActionCategories())
        cases.append(CategoryFilter{category});
    return cases;
}

QString CategoryFilter::id() const
{
    return category ? rawValue(*category) : QStringLiteral("all");
}

QString CategoryFilter::title() const
{
    return category ? vima::title(*category) : QStringLiteral("All");
}

QString CategoryFilter::symbolName() const
{
    return category ? symbol(*category) : QStringLiteral("square.grid.2x2");
}

QString CategoryFilter::packName() const
{
    return category ? vima::title(*category) : QStringLiteral("Library");
}

} // namespace vima
