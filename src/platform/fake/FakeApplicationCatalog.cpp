#include "platform/fake/FakeApplicationCatalog.h"

#include <algorithm>

namespace vima {

FakeApplicationCatalog::FakeApplicationCatalog(const QList<DesktopApp> &apps)
{
    for (const DesktopApp &app : apps)
        install(app);
}

void FakeApplicationCatalog::install(const DesktopApp &app)
{
    apps_.insert(app.bundleID, app);
    ++revision_;
}

void FakeApplicationCatalog::uninstall(const QString &bundleID)
{
    apps_.remove(bundleID);
    ++revision_;
}

std::optional<DesktopApp> FakeApplicationCatalog::find(const QString &bundleID) const
{
    const auto it = apps_.constFind(bundleID);
    if (it == apps_.constEnd())
        return std::nullopt;
    return *it;
}

QList<DesktopApp> FakeApplicationCatalog::all() const
{
    QList<DesktopApp> apps;
    for (const DesktopApp &app : apps_) {
        if (!app.unlisted)
            apps << app;
    }
    std::stable_sort(apps.begin(), apps.end(), [](const DesktopApp &a, const DesktopApp &b) {
        return a.name.localeAwareCompare(b.name) < 0;
    });
    return apps;
}

} // namespace vima
