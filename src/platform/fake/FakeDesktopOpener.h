#pragma once

#include "platform/DesktopOpener.h"
#include "platform/PlatformError.h"

#include <QList>

namespace vima {

// Records what it opened; a non-empty `failure` makes opening throw it.
class FakeDesktopOpener final : public DesktopOpener {
public:
    QList<QUrl> opened;
    QString failure;

    QCoro::Task<void> open(const QUrl &url) override
    {
        if (!failure.isEmpty())
            throw PlatformError(failure);
        opened.append(url);
        co_return;
    }
};

} // namespace vima
