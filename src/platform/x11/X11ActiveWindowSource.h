#pragma once

#include "platform/ActiveApplicationSource.h"
#include "platform/ApplicationCatalog.h"

#include <QAbstractNativeEventFilter>
#include <QHash>
#include <QObject>
#include <xcb/xcb.h>

namespace vima {

// The active application as the window manager announces it on the root
// window (_NET_ACTIVE_WINDOW): the window's process, and the desktop entry
// the window's names belong to. A dialog goes by the names of the window it
// is transient for, and names are followed as they change: LibreOffice maps
// a document as "soffice" and renames it a moment later. The process's file
// name names nothing: java, electron and python run many applications under
// one name.
class X11ActiveWindowSource final : public ActiveApplicationSource, public QAbstractNativeEventFilter {
public:
    // `catalog` (may be null) names the applications; it must outlive the source.
    explicit X11ActiveWindowSource(const ApplicationCatalog *catalog);
    ~X11ActiveWindowSource() override;

    std::optional<RunningApplication> frontmostApplication() const override;
    std::optional<QString> ownBundleID() const override;

    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *result) override;

private:
    struct Identity {
        QString bundleID;
        QString name;
        QStringList alsoAnnouncedBy;
    };

    bool hasWindowManager() const;
    xcb_window_t activeWindow() const;
    // The window a dialog is transient for, through a short chain; the window itself otherwise.
    xcb_window_t mainWindowOf(xcb_window_t window) const;
    std::optional<RunningApplication> application(xcb_window_t window) const;
    // Hears the property changes of the active window and of its main window.
    void followNames(xcb_window_t window);
    // From the catalog's last finished read: the GUI thread never waits for one.
    std::optional<Identity> identify(const QStringList &names) const;
    // Tells of the active window again when a read names it otherwise.
    void activeWindowChanged();

    const ApplicationCatalog *catalog_;
    xcb_connection_t *connection_;
    xcb_window_t root_;
    xcb_atom_t activeWindow_;
    xcb_atom_t applicationID_;
    std::optional<RunningApplication> lastActive_;
    QList<xcb_window_t> followed_; // the active window and its main window
    mutable QHash<QStringList, std::optional<Identity>> identities_;
    mutable quint64 catalogRevision_ = 0;
    QObject catalogReads_; // receives the catalog's news while the source lives
};

} // namespace vima
