#include "platform/x11/DesktopAppIconSource.h"

#include "platform/ApplicationCatalog.h"

#include <QDir>
#include <QFileInfo>

namespace vima {

DesktopAppIconSource::DesktopAppIconSource(const ApplicationCatalog &catalog)
    : catalog_(catalog)
{
}

QIcon DesktopAppIconSource::icon(const QString &bundleID) const
{
    const auto app = catalog_.find(bundleID);
    return app ? iconForEntryValue(app->icon) : QIcon();
}

QIcon DesktopAppIconSource::iconForEntryValue(const QString &value)
{
    const QString trimmed = value.trimmed();
    if (trimmed.isEmpty())
        return {};
    if (QDir::isAbsolutePath(trimmed)) {
        const QFileInfo file(trimmed);
        return file.isFile() && file.isReadable() ? QIcon(trimmed) : QIcon();
    }
    return QIcon::fromTheme(trimmed);
}

} // namespace vima
