#pragma once

#include "model/AppIdentity.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

namespace vima {

// An installed application, as its desktop entry describes it.
struct DesktopApp {
    QString bundleID;         // desktop-file id without ".desktop"
    QString name;             // Name= (localised when the entry has it)
    QString exec;             // Exec= as written, field codes included
    QString icon;             // Icon=: a theme icon name or an absolute path
    QString workingDirectory; // Path=
    QString filePath;         // the .desktop file itself
    QStringList categories;
    bool terminal = false;
    QString startupWMClass;   // StartupWMClass=: the WM_CLASS its windows carry
    bool noDisplay = false;   // NoDisplay=true: found by its id, never listed

    bool operator==(const DesktopApp &) const = default;
};

// The installed applications: desktop entries of type Application that are
// not Hidden (a deleted entry). NoDisplay ones are found by id but not listed.
class ApplicationCatalog {
public:
    virtual ~ApplicationCatalog() = default;

    virtual std::optional<DesktopApp> find(const QString &bundleID) const = 0;
    // Every installed application but the NoDisplay ones, sorted by name. May
    // read the disk: call it off the GUI thread when the list is long.
    virtual QList<DesktopApp> all() const = 0;
    // Changes whenever what it finds may have changed since; cheap.
    virtual quint64 revision() const { return 0; }

    // The application whose windows carry this WM_CLASS name: the one whose
    // desktop-file id it is, else whose StartupWMClass it is, else whose id
    // ends in it ("org.mozilla.firefox" for "firefox"); case is ignored when
    // nothing matches exactly. May read every entry.
    std::optional<DesktopApp> findByWindowClass(const QString &windowClass) const;

    // The application `id` names, with the window classes its installed
    // entries announce.
    AppIdentity identity(const QString &id) const;
    // Its entry under the first of its ids that is installed.
    std::optional<DesktopApp> findInstalled(const AppIdentity &app) const;
};

} // namespace vima
