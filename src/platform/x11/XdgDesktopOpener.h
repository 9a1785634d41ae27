#pragma once

#include "platform/DesktopOpener.h"

#include <QStringList>

namespace vima {

// Opens URLs and files the way the desktop does (xdg-open, else gio), and
// reports a failure when the opener says nothing could open the target.
class XdgDesktopOpener final : public DesktopOpener {
public:
    // `command`: the opener and its leading arguments; empty = the desktop's own.
    explicit XdgDesktopOpener(QStringList command = {});

    QCoro::Task<void> open(const QUrl &url) override;
    // Through the file manager's org.freedesktop.FileManager1 on the session bus.
    QCoro::Task<void> reveal(const QString &filePath) override;

private:
    QStringList command_;
};

} // namespace vima
