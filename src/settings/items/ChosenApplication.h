#pragma once

#include <QString>

namespace vima {

// An application the user picked: its name, desktop-file id and desktop file.
struct ChosenApplication {
    QString name;
    QString bundleID;
    QString path;

    bool operator==(const ChosenApplication &) const = default;
};

} // namespace vima
