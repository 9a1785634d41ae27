#include "platform/ApplicationCatalog.h"

#include <algorithm>

namespace vima {

namespace {

QString lastComponent(const QString &bundleID)
{
    return bundleID.mid(bundleID.lastIndexOf(u'.') + 1);
}

// The first of the entries listed, or else of those unlisted, that names the window.
std::optional<DesktopApp> findWindowIn(const QList<DesktopApp> &apps, bool unlisted, const QString &applicationID,
                                       const QString &instance, const QString &className)
{
    const auto first = [&](auto rule, const QString &name) -> std::optional<DesktopApp> {
        if (name.isEmpty())
            return std::nullopt;
        const auto found = std::find_if(apps.cbegin(), apps.cend(), [&](const DesktopApp &app) {
            return app.noDisplay == unlisted && rule(app, name);
        });
        return found == apps.cend() ? std::nullopt : std::optional(*found);
    };
    // A program that runs many applications (a browser's web apps, java,
    // xterm's UXTerm) tells them apart by the names its entries announce.
    const auto announced = [](const DesktopApp &app, const QString &name) { return app.startupWMClass == name; };
    for (const QString &name : {instance, className}) {
        if (auto app = first(announced, name))
            return app;
    }
    using Rule = bool (*)(const DesktopApp &, const QString &);
    const Rule rules[] = {
        [](const DesktopApp &app, const QString &name) { return app.bundleID == name; },
        [](const DesktopApp &app, const QString &name) { return app.bundleID == name.toLower(); },
        [](const DesktopApp &app, const QString &name) {
            return app.startupWMClass.compare(name, Qt::CaseInsensitive) == 0;
        },
        [](const DesktopApp &app, const QString &name) {
            return app.bundleID.contains(u'.') && lastComponent(app.bundleID).compare(name, Qt::CaseInsensitive) == 0;
        },
    };
    for (const QString &name : {applicationID, className, instance}) {
        for (const Rule rule : rules) {
            if (auto app = first(rule, name))
                return app;
        }
    }
    return std::nullopt;
}

} // namespace

std::optional<DesktopApp> ApplicationCatalog::findByWindow(const QString &applicationID, const QString &instance,
                                                           const QString &className) const
{
    const QList<DesktopApp> apps = latestWithUnlisted();
    for (const bool unlisted : {false, true}) {
        if (auto app = findWindowIn(apps, unlisted, applicationID, instance, className))
            return app;
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
