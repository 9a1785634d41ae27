#pragma once

#include "platform/ApplicationLauncher.h"
#include "platform/DesktopOpener.h"

namespace vima {

// Starts desktop entries by their Exec line (field codes expanded, Path=
// honoured) or brings a window of theirs forward when they already run.
class XdgApplicationLauncher final : public ApplicationLauncher {
public:
    // `opener` opens paths that are neither programs nor desktop entries;
    // `catalog` (may be null) tells whose window a running window is.
    explicit XdgApplicationLauncher(DesktopOpener &opener, const ApplicationCatalog *catalog = nullptr);

    QCoro::Task<void> launch(const DesktopApp &app) override;
    QCoro::Task<void> launchPath(const QString &path) override;

    // The program and arguments that start the entry; throws PlatformError.
    static QStringList command(const DesktopApp &app);

private:
    static void start(const QStringList &command, const QString &workingDirectory, const QString &name);

    DesktopOpener &opener_;
    const ApplicationCatalog *catalog_;
};

} // namespace vima
