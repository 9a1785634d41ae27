#pragma once

#include "model/AppIdentity.h"
#include "platform/CatalogNotifier.h"

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
    // Found by its id and never listed; names a window only where no listed
    // entry does: NoDisplay=true, an entry for other desktops (OnlyShowIn,
    // NotShowIn) or one whose TryExec program is missing.
    bool noDisplay = false;

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
    // The listed applications as last read, never waiting for a read: safe
    // on the GUI thread.
    virtual QList<DesktopApp> latest() const { return all(); }
    // As latest(), with the unlisted entries too.
    virtual QList<DesktopApp> latestWithUnlisted() const { return latest(); }
    // Changes whenever what it finds may have changed since; cheap.
    virtual quint64 revision() const { return 0; }
    // Tells when a read on a worker has found other entries; none for a
    // catalog that never reads on its own.
    virtual const CatalogNotifier *notifier() const { return nullptr; }

    // The application a window belongs to, from the names it goes by (its GTK
    // application id and WM_CLASS instance and class): the entry whose
    // StartupWMClass is the instance, then the class; else, for the
    // application id, then the class, then the instance, the entry whose
    // desktop-file id it is (also in lower case), whose StartupWMClass it is
    // ignoring case, or whose reverse-domain id ends in it ("org.mozilla.firefox"
    // for "firefox"). A listed entry comes first; where none names the window,
    // an unlisted one does, as the desktop's window tracker has it. Reads
    // nothing: see latest().
    std::optional<DesktopApp> findByWindow(const QString &applicationID, const QString &instance,
                                           const QString &className) const;

    // The application `id` names, with the window classes its installed
    // entries announce.
    AppIdentity identity(const QString &id) const;
    // Its entry under the first of its ids that is installed.
    std::optional<DesktopApp> findInstalled(const AppIdentity &app) const;
};

} // namespace vima
