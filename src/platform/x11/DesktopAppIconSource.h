#pragma once

#include "platform/AppIconSource.h"

namespace vima {

class ApplicationCatalog;

// Icons from the desktop entries' Icon= key: an absolute path is loaded as a
// file, anything else is looked up in the icon theme.
class DesktopAppIconSource final : public AppIconSource {
public:
    explicit DesktopAppIconSource(const ApplicationCatalog &catalog);

    QIcon icon(const QString &bundleID) const override;

    // The icon that an Icon= value names, null when it names nothing usable.
    static QIcon iconForEntryValue(const QString &value);

private:
    const ApplicationCatalog &catalog_;
};

} // namespace vima
