#pragma once

#include "platform/ApplicationCatalog.h"

#include <QCoroTask>
#include <QString>

namespace vima {

// Starts applications, or brings them forward when they already run.
// Failures throw PlatformError.
class ApplicationLauncher {
public:
    virtual ~ApplicationLauncher() = default;

    virtual QCoro::Task<void> launch(const DesktopApp &app) = 0;
    // An existing file: a desktop entry, a program, or a document.
    virtual QCoro::Task<void> launchPath(const QString &path) = 0;
};

} // namespace vima
