#pragma once

#include "platform/DesktopOpener.h"
#include "platform/MissingFileManager.h"

#include <QList>
#include <QStringList>

namespace vima {

// Records what it opened; a non-empty `failure` makes opening throw it, and
// `noFileManager` makes opening and revealing fail as without a file manager.
class FakeDesktopOpener final : public DesktopOpener {
public:
    QList<QUrl> opened;
    QStringList revealed;
    QString failure;
    bool noFileManager = false;

    QCoro::Task<void> open(const QUrl &url) override
    {
        if (noFileManager)
            throw MissingFileManager();
        if (!failure.isEmpty())
            throw PlatformError(failure);
        opened.append(url);
        co_return;
    }
    QCoro::Task<void> reveal(const QString &filePath) override
    {
        if (noFileManager)
            throw MissingFileManager();
        revealed.append(filePath);
        co_return;
    }
};

} // namespace vima
