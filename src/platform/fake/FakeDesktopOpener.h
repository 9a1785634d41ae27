#pragma once

#include "platform/DesktopOpener.h"
#include "platform/PlatformError.h"

#include <QList>
#include <QStringList>

namespace vima {

// Records what it opened; a non-empty `failure` makes opening throw it.
class FakeDesktopOpener final : public DesktopOpener {
public:
    QList<QUrl> opened;
    QStringList revealed;
    QString failure;

    QCoro::Task<void> open(const QUrl &url) override
    {
        if (!failure.isEmpty())
            throw PlatformError(failure);
        opened.append(url);
        co_return;
    }
    QCoro::Task<void> reveal(const QString &filePath) override
    {
        revealed.append(filePath);
        co_return;
    }
};

} // namespace vima
