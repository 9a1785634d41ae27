#pragma once

#include <QString>
#include <QStringList>

namespace vima {

// A running application: its process, its bundle identifier (the desktop-file
// id without ".desktop", e.g. "org.gnome.TextEditor"; may be empty when
// unknown), its display name, the window of it that was active (0 when
// unknown): browsers and terminals keep many windows in one process, and that
// window's class names (WM_CLASS), which name the application too where no
// desktop entry is installed for it.
struct RunningApplication {
    qint64 pid = 0;
    QString bundleID;
    QString name;
    quint32 window = 0;
    QStringList windowClasses = {};
    // Other entries that announce the window's class (emacsclient for an
    // Emacs window): a ring made for one of them opens where none is made
    // for the window's own entry.
    QStringList alsoAnnouncedBy = {};

    // Its desktop id and window classes, the ones it has.
    QStringList names() const
    {
        QStringList all = QStringList{bundleID} + windowClasses;
        all.removeAll(QString());
        return all;
    }

    bool operator==(const RunningApplication &) const = default;
};

} // namespace vima
