#include "platform/ApplicationCatalog.h"

#include <algorithm>

namespace vima {

namespace {

// The names a window goes by.
struct Window {
    QString applicationID, instance, className;
};

using Rule = bool (*)(const DesktopApp &, const QString &);

QString lastComponent(const QString &bundleID)
{
    return bundleID.mid(bundleID.lastIndexOf(u'.') + 1);
}

bool sameName(const QString &a, const QString &b)
{
    return !a.isEmpty() && a.compare(b, Qt::CaseInsensitive) == 0;
}

// Interpreters and launchers run many applications: their name tells none.
bool isLauncher(const QString &program)
{
    static const QStringList launchers{
        "bash", "bwrap", "csh", "dash", "dotnet", "electron", "env", "exo-open", "fish", "firejail", "flatpak", "gio",
        "gjs", "gtk-launch", "ionice", "java", "kde-open", "kioclient", "ksh", "mono", "nice", "node", "nodejs", "perl",
        "pkexec", "pypy", "python", "ruby", "sh", "snap", "sudo", "tcsh", "wine", "xdg-open", "zsh"};
    QString bare = program.toLower();
    // python3.11, wine64, kioclient5
    while (!bare.isEmpty() && (bare.back().isDigit() || bare.back() == u'.' || bare.back() == u'-'))
        bare.chop(1);
    return launchers.contains(bare);
}

// Its desktop id or its program is one of the window's WM_CLASS names.
bool isCalledLike(const DesktopApp &app, const Window &window)
{
    for (const QString &name : {window.instance, window.className}) {
        if (sameName(app.bundleID, name) || sameName(app.program, name))
            return true;
    }
    return false;
}

std::optional<DesktopApp> firstNaming(const QList<DesktopApp> &apps, bool unlisted, Rule rule, const QString &name)
{
    if (name.isEmpty())
        return std::nullopt;
    const auto found = std::find_if(apps.cbegin(), apps.cend(), [&](const DesktopApp &app) {
        return app.unlisted == unlisted && rule(app, name);
    });
    return found == apps.cend() ? std::nullopt : std::optional(*found);
}

// A program that runs many applications (a browser's web apps, java,
// xterm's UXTerm) tells them apart by the names its entries announce. Where
// several announce one name (emacs and emacsclient), the one called like
// the window is its own.
std::optional<DesktopApp> announcing(const QList<DesktopApp> &apps, bool unlisted, const Window &window)
{
    std::optional<DesktopApp> first;
    for (const QString &name : {window.instance, window.className}) {
        for (const DesktopApp &app : apps) {
            if (name.isEmpty() || app.unlisted != unlisted || app.startupWMClass != name)
                continue;
            if (isCalledLike(app, window))
                return app;
            if (!first)
                first = app;
        }
    }
    return first;
}

template <std::size_t N>
std::optional<DesktopApp> namedBy(const QList<DesktopApp> &apps, bool unlisted, const Rule (&rules)[N],
                                  const Window &window)
{
    for (const QString &name : {window.applicationID, window.className, window.instance}) {
        for (const Rule rule : rules) {
            if (auto app = firstNaming(apps, unlisted, rule, name))
                return app;
        }
    }
    return std::nullopt;
}

bool isID(const DesktopApp &app, const QString &name) { return sameName(app.bundleID, name); }
bool announcesLoosely(const DesktopApp &app, const QString &name) { return sameName(app.startupWMClass, name); }

bool runs(const DesktopApp &app, const QString &name) { return sameName(app.program, name); }

// The listed entry whose program the window is called after.
std::optional<DesktopApp> running(const QList<DesktopApp> &apps, const Window &window)
{
    for (const QString &name : {window.instance, window.className}) {
        if (isLauncher(name))
            continue;
        if (auto app = firstNaming(apps, false, runs, name))
            return app;
    }
    return std::nullopt;
}

} // namespace

std::optional<DesktopApp> ApplicationCatalog::findByWindow(const QString &applicationID, const QString &instance,
                                                           const QString &className) const
{
    static constexpr Rule listedRules[] = {
        [](const DesktopApp &app, const QString &name) { return app.bundleID == name; },
        [](const DesktopApp &app, const QString &name) { return app.bundleID == name.toLower(); },
        announcesLoosely,
        [](const DesktopApp &app, const QString &name) {
            return app.bundleID.contains(u'.') && sameName(lastComponent(app.bundleID), name);
        },
    };
    static constexpr Rule exactRules[] = {isID, announcesLoosely};
    const QList<DesktopApp> apps = latestWithUnlisted();
    const Window window{applicationID, instance, className};
    if (auto app = announcing(apps, false, window))
        return app;
    if (auto app = namedBy(apps, false, listedRules, window))
        return app;
    if (auto app = announcing(apps, true, window))
        return app;
    if (auto app = namedBy(apps, true, exactRules, window))
        return app;
    return running(apps, window);
}

QStringList ApplicationCatalog::alsoAnnouncing(const QString &ownerID, const QString &instance,
                                               const QString &className) const
{
    QStringList ids;
    const QList<DesktopApp> apps = latestWithUnlisted();
    for (const bool unlisted : {false, true}) {
        for (const DesktopApp &app : apps) {
            if (app.unlisted == unlisted && app.bundleID != ownerID && !app.startupWMClass.isEmpty()
                && (app.startupWMClass == instance || app.startupWMClass == className))
                ids << app.bundleID;
        }
    }
    return ids;
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
