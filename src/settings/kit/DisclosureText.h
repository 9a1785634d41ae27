#pragma once

#include <QString>

namespace vima {

// What a disclosure row shows: a symbol name, a title and a detail.
struct DisclosureText {
    QString symbol;
    QString title;
    QString detail;
    bool operator==(const DisclosureText &) const = default;
};

} // namespace vima
