#pragma once

#include "platform/ActiveApplicationSource.h"
#include "platform/ApplicationCatalog.h"

#include <QAbstractNativeEventFilter>
#include <QHash>
#include <xcb/xcb.h>

namespace vima {

// The active application as the window manager announces it on the root
// window (_NET_ACTIVE_WINDOW): the window's process, and the desktop entry
// whose id matches the window's application id, class or executable.
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
    };

    bool hasWindowManager() const;
    std::optional<RunningApplication> application(xcb_window_t window) const;
    // The first candidate the catalog knows; a WM_CLASS name also by the entries' StartupWMClass.
    std::optional<Identity> identify(const QStringList &candidates, const QStringList &windowClasses) const;

    const ApplicationCatalog *catalog_;
    xcb_connection_t *connection_;
    xcb_window_t root_;
    xcb_atom_t activeWindow_;
    std::optional<RunningApplication> lastActive_;
    mutable QHash<QStringList, std::optional<Identity>> identities_;
    mutable quint64 catalogRevision_ = 0;
};

} // namespace vima
