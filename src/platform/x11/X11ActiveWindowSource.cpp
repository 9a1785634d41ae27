#include "platform/x11/X11ActiveWindowSource.h"

#include "platform/x11/WindowNames.h"
#include "platform/x11/X11Connection.h"
#include "platform/x11/X11Windows.h"

#include <QCoreApplication>
#include <QGuiApplication>

namespace vima {

X11ActiveWindowSource::X11ActiveWindowSource(const ApplicationCatalog *catalog)
    : catalog_(catalog),
      connection_(x11::connection()),
      root_(x11::rootWindow()),
      activeWindow_(x11::atom("_NET_ACTIVE_WINDOW")),
      applicationID_(x11::atom("_GTK_APPLICATION_ID"))
{
    if (!connection_)
        return;
    x11::addEventMask(root_, XCB_EVENT_MASK_PROPERTY_CHANGE);
    // Before the first look: a read that ends in between is not missed.
    if (const CatalogNotifier *reads = catalog_ ? catalog_->notifier() : nullptr)
        QObject::connect(reads, &CatalogNotifier::revised, &catalogReads_, [this] { activeWindowChanged(); });
    lastActive_ = frontmostApplication();
    followNames(activeWindow());
    QCoreApplication::instance()->installNativeEventFilter(this);
}

X11ActiveWindowSource::~X11ActiveWindowSource()
{
    if (connection_)
        QCoreApplication::instance()->removeNativeEventFilter(this);
}

std::optional<QString> X11ActiveWindowSource::ownBundleID() const
{
    const QString id = QGuiApplication::desktopFileName();
    return id.isEmpty() ? std::nullopt : std::optional(id);
}

bool X11ActiveWindowSource::hasWindowManager() const
{
    // A window manager that died leaves its properties behind; the check
    // window it points to names itself only while it lives.
    const xcb_atom_t check = x11::atom("_NET_SUPPORTING_WM_CHECK");
    const auto window = x11::cardinalProperty(root_, check, XCB_ATOM_WINDOW);
    return window && x11::cardinalProperty(*window, check, XCB_ATOM_WINDOW) == window;
}

xcb_window_t X11ActiveWindowSource::activeWindow() const
{
    if (!connection_ || !hasWindowManager())
        return XCB_NONE;
    return x11::cardinalProperty(root_, activeWindow_, XCB_ATOM_WINDOW).value_or(XCB_NONE);
}

std::optional<RunningApplication> X11ActiveWindowSource::frontmostApplication() const
{
    const xcb_window_t window = activeWindow();
    return window == XCB_NONE ? std::nullopt : application(window);
}

bool X11ActiveWindowSource::nativeEventFilter(const QByteArray &eventType, void *message, qintptr *)
{
    if (eventType != "xcb_generic_event_t")
        return false;
    const auto *event = static_cast<const xcb_generic_event_t *>(message);
    if ((event->response_type & 0x7f) != XCB_PROPERTY_NOTIFY)
        return false;
    const auto *notify = reinterpret_cast<const xcb_property_notify_event_t *>(event);
    const bool switched = notify->window == root_ && notify->atom == activeWindow_;
    const bool renamed = followed_.contains(notify->window)
                         && (notify->atom == XCB_ATOM_WM_CLASS || notify->atom == applicationID_
                             || notify->atom == XCB_ATOM_WM_TRANSIENT_FOR);
    if (switched || renamed)
        activeWindowChanged();
    return false;
}

void X11ActiveWindowSource::activeWindowChanged()
{
    const xcb_window_t window = activeWindow();
    followNames(window);
    // Window managers announce a switch more than once: tell only of another
    // window or other names, also of the same application (actions write
    // into the window).
    const auto app = window == XCB_NONE ? std::nullopt : application(window);
    if (app && app != lastActive_) {
        lastActive_ = app;
        if (onActivated)
            onActivated(app);
    }
}

void X11ActiveWindowSource::followNames(xcb_window_t window)
{
    QList<xcb_window_t> windows;
    if (window != XCB_NONE)
        windows = {window, mainWindowOf(window)};
    if (windows == followed_)
        return;
    followed_ = windows;
    // Added to what anyone else selected there; never taken back, since
    // another part of this process may listen too.
    for (const xcb_window_t each : std::as_const(followed_))
        x11::addEventMask(each, XCB_EVENT_MASK_PROPERTY_CHANGE);
}

xcb_window_t X11ActiveWindowSource::mainWindowOf(xcb_window_t window) const
{
    // Bounded: a loop of windows transient for each other ends somewhere.
    constexpr int longestChain = 8;
    for (int step = 0; step < longestChain; ++step) {
        const auto owner = x11::cardinalProperty(window, XCB_ATOM_WM_TRANSIENT_FOR, XCB_ATOM_WINDOW);
        // Transient for the root: for its whole group, as no window in particular.
        if (!owner || *owner == XCB_NONE || *owner == root_ || *owner == window)
            break;
        window = *owner;
    }
    return window;
}

std::optional<RunningApplication> X11ActiveWindowSource::application(xcb_window_t window) const
{
    const qint64 pid = x11::windowProcess(window);
    if (pid == QCoreApplication::applicationPid())
        return RunningApplication{pid, ownBundleID().value_or(QString()), QGuiApplication::applicationDisplayName(),
                                  window};
    WindowNames names = WindowNames::of(mainWindowOf(window));
    // A main window already gone leaves the dialog its own names.
    if (names.names().join(QString()).isEmpty())
        names = WindowNames::of(window);
    QStringList wmClass{names.instance, names.className};
    wmClass.removeAll(QString());
    if (const auto identity = identify(names.names()))
        return RunningApplication{pid, identity->bundleID, identity->name, window, wmClass, identity->alsoAnnouncedBy};
    return RunningApplication{pid, QString(), wmClass.value(wmClass.size() - 1), window, wmClass};
}

std::optional<X11ActiveWindowSource::Identity> X11ActiveWindowSource::identify(const QStringList &names) const
{
    if (!catalog_)
        return std::nullopt;
    // An entry installed or removed while we run names windows anew.
    if (const quint64 revision = catalog_->revision(); revision != catalogRevision_) {
        identities_.clear();
        catalogRevision_ = revision;
    }
    if (const auto known = identities_.constFind(names); known != identities_.constEnd())
        return *known;
    std::optional<Identity> identity;
    if (const auto app = catalog_->findByWindow(names.value(0), names.value(1), names.value(2)))
        identity = Identity{app->bundleID, app->name,
                            catalog_->alsoAnnouncing(app->bundleID, names.value(1), names.value(2))};
    // Matching walks every entry: once per kind of window.
    identities_.insert(names, identity);
    return identity;
}

} // namespace vima
