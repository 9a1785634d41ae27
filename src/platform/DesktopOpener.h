#pragma once

#include <QCoroTask>
#include <QUrl>

namespace vima {

// Opens a URL or a file with the user's preferred application. Throws
// PlatformError when nothing could open it.
class DesktopOpener {
public:
    virtual ~DesktopOpener() = default;

    virtual QCoro::Task<void> open(const QUrl &url) = 0;
};

} // namespace vima
