#include "ui/AppIconCache.h"

#include "platform/AppIconSource.h"

namespace vima {

QIcon AppIconCache::icon(const QString &bundleID) const
{
    if (const auto it = cache_.constFind(bundleID); it != cache_.constEnd())
        return *it;
    if (!source_)
        return {};
    QIcon found = source_->icon(bundleID);
    if (!found.isNull())
        cache_.insert(bundleID, found);
    return found;
}

} // namespace vima
