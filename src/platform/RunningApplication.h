#pragma once

#include <QString>

namespace vima {

// A running application: its process, its bundle identifier (the desktop-file
// id without ".desktop", e.g. "org.gnome.TextEditor"; may be empty when
// unknown), its display name, and the window of it that was active (0 when
// unknown): browsers and terminals keep many windows in one process.
struct RunningApplication {
    qint64 pid = 0;
    QString bundleID;
    QString name;
    quint32 window = 0;

    bool operator==(const RunningApplication &) const = default;
};

} // namespace vima
