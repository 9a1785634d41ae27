#include "platform/x11/WindowNames.h"

#include "platform/x11/X11Connection.h"
#include "platform/x11/X11Windows.h"

namespace vima {

WindowNames WindowNames::of(xcb_window_t window)
{
    const QStringList wmClass = x11::stringsProperty(window, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING);
    const QStringList id = x11::stringsProperty(window, x11::atom("_GTK_APPLICATION_ID"), x11::atom("UTF8_STRING"));
    return {id.value(0), wmClass.value(0), wmClass.value(1)};
}

xcb_window_t WindowNames::newestWindowOf(const AppIdentity &app, const ApplicationCatalog *catalog)
{
    const QList<xcb_window_t> windows = x11::clientWindows();
    for (auto it = windows.crbegin(); it != windows.crend(); ++it) {
        if (of(*it).belongTo(app, catalog))
            return *it;
    }
    return XCB_NONE;
}

bool WindowNames::belongTo(const AppIdentity &app, const ApplicationCatalog *catalog) const
{
    if (const auto owner = catalog ? catalog->findByWindow(applicationID, instance, className) : std::nullopt)
        return app.ids().contains(owner->bundleID, Qt::CaseInsensitive);
    return app.isNamedByAny(names());
}

} // namespace vima
