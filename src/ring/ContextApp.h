#pragma once

#include <QString>

namespace vima {

// The application whose own ring is on screen.
struct ContextApp {
    QString bundleID;
    QString name;

    bool operator==(const ContextApp &) const = default;
};

} // namespace vima
