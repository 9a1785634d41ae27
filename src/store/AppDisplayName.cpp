#include "store/AppDisplayName.h"

#include <QFileInfo>

namespace vima {

std::optional<QString> appDisplayName(const ApplicationCatalog &catalog, const QString &bundleID)
{
    if (bundleID.isEmpty())
        return std::nullopt;
    // A ring made for "firefox" names Firefox ESR where that is what is installed.
    const std::optional<DesktopApp> app = catalog.findInstalled(AppIdentity(bundleID));
    if (!app)
        return std::nullopt;
    if (!app->name.isEmpty())
        return app->name;
    return QFileInfo(app->filePath).completeBaseName();
}

} // namespace vima
