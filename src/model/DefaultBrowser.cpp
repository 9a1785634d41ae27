#include "model/DefaultBrowser.h"

#include "model/AppSuggestions.h"

#include <QFile>
#include <QStandardPaths>
#include <QTextStream>

namespace vima {

namespace {

const QString desktopSuffix = QStringLiteral(".desktop");

// mimeapps.list files in the order XDG gives them precedence.
QStringList mimeappsFiles()
{
    QStringList desktops;
    for (const QString &desktop : qEnvironmentVariable("XDG_CURRENT_DESKTOP").split(u':', Qt::SkipEmptyParts))
        desktops.append(desktop.toLower() + QStringLiteral("-mimeapps.list"));
    desktops.append(QStringLiteral("mimeapps.list"));
    QStringList files;
    for (const auto location : {QStandardPaths::GenericConfigLocation, QStandardPaths::ApplicationsLocation}) {
        for (const QString &folder : QStandardPaths::standardLocations(location)) {
            for (const QString &name : desktops)
                files.append(folder + u'/' + name);
        }
    }
    return files;
}

std::optional<QString> handlerIn(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return std::nullopt;
    QTextStream lines(&file);
    bool inDefaults = false;
    while (!lines.atEnd()) {
        const QString line = lines.readLine().trimmed();
        if (line.startsWith(u'['))
            inDefaults = line == QLatin1String("[Default Applications]");
        else if (inDefaults && line.startsWith(QLatin1String("x-scheme-handler/http="))) {
            const QString first = line.section(u'=', 1).section(u';', 0, 0).trimmed();
            if (first.endsWith(desktopSuffix))
                return first.chopped(desktopSuffix.size());
        }
    }
    return std::nullopt;
}

bool installed(const QString &id)
{
    return !QStandardPaths::locate(QStandardPaths::ApplicationsLocation, id + desktopSuffix).isEmpty();
}

} // namespace

QString DefaultBrowser::choose(const std::optional<QString> &defaultID, const QStringList &known,
                               const std::function<bool(const QString &)> &installed)
{
    if (defaultID && known.contains(*defaultID))
        return *defaultID;
    for (const QString &id : known) {
        if (installed(id))
            return id;
    }
    return known.value(0);
}

std::optional<QString> DefaultBrowser::httpHandler()
{
    for (const QString &file : mimeappsFiles()) {
        if (const auto handler = handlerIn(file))
            return handler;
    }
    return std::nullopt;
}

QString DefaultBrowser::desktopID()
{
    return choose(httpHandler(), knownBrowserIDs(), installed);
}

} // namespace vima
