#include "AgentHome.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace agent_home {

QString configFolder() { return QDir::homePath() + QStringLiteral("/.config/Vima"); }

QString configPath() { return configFolder() + QStringLiteral("/config.json"); }

QString markerPath(const QString &name) { return QDir::homePath() + QLatin1Char('/') + name; }

QString installMarkerApp(const QString &appID, const QString &name, const QString &marker)
{
    const QString path = qEnvironmentVariable("XDG_DATA_HOME") + QStringLiteral("/applications/") + appID
        + QStringLiteral(".desktop");
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    const QByteArray entry = "[Desktop Entry]\nType=Application\nName=" + name.toUtf8()
        + "\nExec=sh -c 'test -e /proc/$$/fd/0 -a -e /proc/$$/fd/1 -a -e /proc/$$/fd/2 && touch \"$0\"' "
        + marker.toUtf8() + "\n";
    return file.open(QIODevice::WriteOnly) && file.write(entry) == entry.size() ? path : QString();
}

} // namespace agent_home
