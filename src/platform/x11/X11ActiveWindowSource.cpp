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
      activeWindow_(x11::atom("_NET_ACTIVE_WINDOW"))
{
    if (!connection_)
        return;
    x11::addRootEventMask(XCB_EVENT_MASK_PROPERTY_CHANGE);
    // Before the first look: a read that ends in between is not missed.
    if (const CatalogNotifier *reads = catalog_ ? catalog_->notifier() : nullptr)
        QObject::connect(reads, &CatalogNotifier::revised, &catalogReads_, [this] { activeWindowChanged(); });
    lastActive_ = frontmostApplication();
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

std::optional<RunningApplication> X11ActiveWindowSource::frontmostApplication() const
{
    if (!connection_ || !hasWindowManager())
        return std::nullopt;
    const auto window = x11::cardinalProperty(root_, activeWindow_, XCB_ATOM_WINDOW);
    if (!window || *window == XCB_NONE)
        return std::nullopt;
    return application(*window);
}

bool X11ActiveWindowSource::nativeEventFilter(const QByteArray &eventType, void *message, qintptr *)
{
    if (eventType != "xcb_generic_event_t")
        return false;
    const auto *event = static_cast<const xcb_generic_event_t *>(message);
    if ((event->response_type & 0x7f) != XCB_PROPERTY_NOTIFY)
        return false;
    const auto *notify = reinterpret_cast<const xcb_property_notify_event_t *>(event);
    if (notify->window == root_ && notify->atom == activeWindow_)
        activeWindowChanged();
    return false;
}

void X11ActiveWindowSource::activeWindowChanged()
{
    // Window managers announce a switch more than once: tell only of another
    // window, also of the same application (actions write into the window).
    const auto app = frontmostApplication();
    if (app && app != lastActive_) {
        lastActive_ = app;
        if (onActivated)
            onActivated(app);
    }
}

std::optional<RunningApplication> X11ActiveWindowSource::application(xcb_window_t window) const
{
    const qint64 pid = x11::windowProcess(window);
    if (pid == QCoreApplication::applicationPid())
        return RunningApplication{pid, ownBundleID().value_or(QString()), QGuiApplication::applicationDisplayName(),
                                  window};
    const WindowNames names = WindowNames::of(window);
    QStringList wmClass{names.instance, names.className};
    wmClass.removeAll(QString());
    if (const auto identity = identify(names.names()))
        return RunningApplication{pid, identity->bundleID, identity->name, window, wmClass};
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
        identity = Identity{app->bundleID, app->name};
    // Matching walks every entry: once per kind of window.
    identities_.insert(names, identity);
    return identity;
}

} // namespace vima
