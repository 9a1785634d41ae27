#include "platform/fake/FakeAppIconSource.h"

namespace vima {

QIcon FakeAppIconSource::icon(const QString &bundleID) const
{
    lookups.append(bundleID);
    return installed.value(bundleID);
}

} // namespace vima
