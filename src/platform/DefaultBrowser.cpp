#include "platform/DefaultBrowser.h"

#include "model/AppSuggestions.h"
#include "platform/RegularFile.h"

#include <QStandardPaths>
#include <QTextStream>

namespace vima {

namespace {

const QString desktopSuffix = QStringLiteral(".desktop");
// Far above any real list of default applications.
constexpr qint64 largestMimeappsList = 4 * 1024 * 1024;

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
    // Read before the first start can go on: a named pipe here must not hold it up.
    const std::optional<QByteArray> bytes = regular_file::read(path, largestMimeappsList);
    if (!bytes)
        return std::nullopt;
    QTextStream lines(*bytes);
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
