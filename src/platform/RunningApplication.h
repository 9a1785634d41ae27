#pragma once

#include <QString>

namespace vima {

// A running application: its process, its bundle identifier (the desktop-file
// id without ".desktop", e.g. "org.gnome.TextEditor"; may be empty when
// unknown) and its display name.
struct RunningApplication {
    qint64 pid = 0;
    QString bundleID;
    QString name;

    bool operator==(const RunningApplication &) const = default;
};

} // namespace vima
