#pragma once

#include "platform/ApplicationCatalog.h"

#include <QString>
#include <optional>

namespace vima {

// An installed application's display name from its bundle identifier; none for
// an empty identifier or an application that is not installed.
std::optional<QString> appDisplayName(const ApplicationCatalog &catalog, const QString &bundleID);

} // namespace vima
