#pragma once

#include "platform/ApplicationLauncher.h"
#include "platform/DesktopOpener.h"

namespace vima {

// Starts desktop entries by their Exec line (field codes expanded, Path=
// honoured) or brings a window of theirs forward when they already run.
class XdgApplicationLauncher final : public ApplicationLauncher {
public:
    // `opener` opens paths that are neither programs nor desktop entries.
    explicit XdgApplicationLauncher(DesktopOpener &opener);

    QCoro::Task<void> launch(const DesktopApp &app) override;
    QCoro::Task<void> launchPath(const QString &path) override;

    // The program and arguments that start the entry; throws PlatformError.
    static QStringList command(const DesktopApp &app);

private:
    static void start(const QStringList &command, const QString &workingDirectory, const QString &name);

    DesktopOpener &opener_;
};

} // namespace vima
