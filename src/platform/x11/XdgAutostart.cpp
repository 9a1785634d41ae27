#include "platform/x11/XdgAutostart.h"

#include "platform/PlatformError.h"
#include "platform/x11/DesktopEntry.h"
#include "platform/x11/DesktopExec.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSaveFile>

namespace vima {
namespace {

QString defaultConfigHome()
{
    const QString configured = qEnvironmentVariable("XDG_CONFIG_HOME");
    return QDir::isAbsolutePath(configured) ? configured : QDir::homePath() + QStringLiteral("/.config");
}

} // namespace

XdgAutostart::XdgAutostart(QString desktopID, QString name, QString executable, QString configHome)
    : desktopID_(std::move(desktopID)), name_(std::move(name)), executable_(std::move(executable)),
      configHome_(configHome.isEmpty() ? defaultConfigHome() : std::move(configHome))
{
}

XdgAutostart XdgAutostart::forThisApplication(const QString &desktopID)
{
    return XdgAutostart(desktopID, QCoreApplication::applicationName(), QCoreApplication::applicationFilePath());
}

QString XdgAutostart::autostartFolder() const
{
    return configHome_ + QStringLiteral("/autostart");
}

QString XdgAutostart::entryPath() const
{
    return autostartFolder() + u'/' + desktopID_ + QStringLiteral(".desktop");
}

LoginItemStatus XdgAutostart::status() const
{
    const auto entry = DesktopEntry::read(entryPath());
    if (!entry || entry->boolean(QStringLiteral("Hidden"))
        || entry->value(QStringLiteral("X-GNOME-Autostart-enabled")) == u"false")
        return LoginItemStatus::notRegistered;
    // An entry left behind by a copy that has moved would start nothing of ours.
    const auto command = DesktopExec::split(entry->value(QStringLiteral("Exec")));
    const bool runsUs = command && !command->isEmpty() && command->first() == executable_;
    return runsUs ? LoginItemStatus::enabled : LoginItemStatus::notRegistered;
}

void XdgAutostart::registerItem()
{
    if (!QDir().mkpath(autostartFolder()))
        throw PlatformError(QStringLiteral("Couldn't create the folder %1.").arg(autostartFolder()));
    const QString text = QStringLiteral("[Desktop Entry]\nType=Application\nName=%1\nExec=%2\n"
                                        "X-GNOME-Autostart-enabled=true\n")
                             .arg(DesktopEntry::escape(name_), DesktopEntry::escape(DesktopExec::quote(executable_)));
    QSaveFile file(entryPath());
    if (!file.open(QIODevice::WriteOnly) || file.write(text.toUtf8()) < 0 || !file.commit())
        throw PlatformError(QStringLiteral("Couldn't write %1: %2").arg(entryPath(), file.errorString()));
}

void XdgAutostart::unregisterItem()
{
    QFile file(entryPath());
    if (file.exists() && !file.remove())
        throw PlatformError(QStringLiteral("Couldn't remove %1: %2").arg(entryPath(), file.errorString()));
}

} // namespace vima
