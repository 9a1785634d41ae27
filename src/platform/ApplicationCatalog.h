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
    // Found by its id and never listed: NoDisplay=true, an entry for other
    // desktops (OnlyShowIn, NotShowIn) or one whose TryExec program is missing.
    bool unlisted = false;
    QString program = {}; // the file name of Exec's program ("gimp-2.10"); empty when it can't be split

    bool operator==(const DesktopApp &) const = default;
};

// The installed applications: desktop entries of type Application that are
// not Hidden (a deleted entry). Unlisted ones are found by id but not listed.
class ApplicationCatalog {
public:
    virtual ~ApplicationCatalog() = default;

    virtual std::optional<DesktopApp> find(const QString &bundleID) const = 0;
    // Every installed application but the unlisted ones, sorted by name. May
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
    // application id and WM_CLASS instance and class), as the desktop's task
    // managers tell. In order, the first rule that names it:
    //  1. a listed entry whose StartupWMClass is the instance, then the class;
    //     among several, one whose desktop id or Exec program is the instance
    //     or the class (ignoring case) first: emacs.desktop before emacsclient;
    //  2. for the application id, then the class, then the instance, a listed
    //     entry whose desktop-file id it is (also in lower case), whose
    //     StartupWMClass it is ignoring case, or whose reverse-domain id ends
    //     in it ("org.mozilla.firefox" for "firefox");
    //  3. an unlisted entry by the exact rules alone: its StartupWMClass is
    //     the instance or the class, or its desktop id is the application id,
    //     the class or the instance (ignoring case): a helper's generic last
    //     part ("org.gnome.Terminal.Preferences") claims no stranger's window;
    //  4. a listed entry whose Exec program is the instance or the class
    //     (ignoring case), never an interpreter or a launcher ("gimp-2.10").
    // Reads nothing: see latest().
    std::optional<DesktopApp> findByWindow(const QString &applicationID, const QString &instance,
                                           const QString &className) const;
    // The other entries whose StartupWMClass is the window's instance or
    // class: where no ring is made for its owner, one made for them opens.
    QStringList alsoAnnouncing(const QString &ownerID, const QString &instance, const QString &className) const;

    // The application `id` names, with the window classes its installed
    // entries announce.
    AppIdentity identity(const QString &id) const;
    // Its entry under the first of its ids that is installed.
    std::optional<DesktopApp> findInstalled(const AppIdentity &app) const;
};

} // namespace vima
