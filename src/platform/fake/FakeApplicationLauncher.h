#pragma once

#include "platform/ApplicationLauncher.h"
#include "platform/PlatformError.h"

#include <QStringList>

namespace vima {

// Records launches; a non-empty `failure` makes them throw it.
class FakeApplicationLauncher final : public ApplicationLauncher {
public:
    QList<DesktopApp> launched;
    QStringList launchedPaths;
    QString failure;

    QCoro::Task<void> launch(const DesktopApp &app) override
    {
        if (!failure.isEmpty())
            throw PlatformError(failure);
        launched.append(app);
        co_return;
    }
    QCoro::Task<void> launchPath(const QString &path) override
    {
        if (!failure.isEmpty())
            throw PlatformError(failure);
        launchedPaths.append(path);
        co_return;
    }
};

} // namespace vima
