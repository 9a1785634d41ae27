#pragma once

#include <QIcon>
#include <QString>

namespace vima {

// An installed application's icon by bundle identifier.
class AppIconSource {
public:
    virtual ~AppIconSource() = default;

    // A null icon when no such application is installed or it has no icon.
    virtual QIcon icon(const QString &bundleID) const = 0;
};

} // namespace vima
