#include "platform/fake/FakeAppIconSource.h"

#include <QPixmap>

namespace vima {

std::optional<AppIconSource::Loader> FakeAppIconSource::loader(const QString &bundleID) const
{
    lookups.append(bundleID);
    const auto it = installed.constFind(bundleID);
    if (it == installed.constEnd())
        return std::nullopt;
    // Drawn here: a QIcon is for the GUI thread only.
    const QImage image = it->pixmap(48).toImage();
    return [image] { return image; };
}

} // namespace vima
