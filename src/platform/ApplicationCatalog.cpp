#include "platform/ApplicationCatalog.h"

#include <algorithm>

namespace vima {

namespace {

QString lastComponent(const QString &bundleID)
{
    return bundleID.mid(bundleID.lastIndexOf(u'.') + 1);
}

} // namespace

std::optional<DesktopApp> ApplicationCatalog::findByWindowClass(const QString &windowClass) const
{
    if (windowClass.isEmpty())
        return std::nullopt;
    if (auto app = find(windowClass))
        return app;
    if (windowClass != windowClass.toLower()) {
        if (auto app = find(windowClass.toLower()))
            return app;
    }
    const QList<DesktopApp> apps = all();
    using Rule = bool (*)(const DesktopApp &, const QString &);
    const Rule rules[] = {
        [](const DesktopApp &app, const QString &name) { return app.startupWMClass == name; },
        [](const DesktopApp &app, const QString &name) {
            return app.startupWMClass.compare(name, Qt::CaseInsensitive) == 0;
        },
        [](const DesktopApp &app, const QString &name) {
            return app.bundleID.contains(u'.') && lastComponent(app.bundleID).compare(name, Qt::CaseInsensitive) == 0;
        },
    };
    for (const Rule rule : rules) {
        const auto found = std::find_if(apps.cbegin(), apps.cend(),
                                        [&](const DesktopApp &app) { return rule(app, windowClass); });
        if (found != apps.cend())
            return *found;
    }
    return std::nullopt;
}

AppIdentity ApplicationCatalog::identity(const QString &id) const
{
    const AppIdentity byName(id);
    QStringList windowClasses;
    for (const QString &alias : byName.ids()) {
        if (const auto app = find(alias))
            windowClasses.append(app->startupWMClass);
    }
    return AppIdentity(id, windowClasses);
}

std::optional<DesktopApp> ApplicationCatalog::findInstalled(const AppIdentity &app) const
{
    for (const QString &id : app.ids()) {
        if (auto found = find(id))
            return found;
    }
    return std::nullopt;
}

} // namespace vima
