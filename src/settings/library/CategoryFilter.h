#pragma once

#include "model/ActionCategory.h"

#include <QList>
#include <QString>
#include <optional>

namespace vima {

// The library's sidebar choice: every entry, or one category.
struct CategoryFilter {
    std::optional<ActionCategory> category; // none: all

    // All, then every category in declaration order.
    static QList<CategoryFilter> allCases();

    QString id() const;
    QString title() const;
    QString symbolName() const;
    // What a pack added under this filter is called.
    QString packName() const;

    bool operator==(const CategoryFilter &) const = default;
};

} // namespace vima
