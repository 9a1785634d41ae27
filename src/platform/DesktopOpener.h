#pragma once

#include <QCoroTask>
#include <QString>
#include <QUrl>

namespace vima {

// Opens a URL or a file with the user's preferred application. Throws
// PlatformError when nothing could open it, MissingFileManager for a folder.
class DesktopOpener {
public:
    virtual ~DesktopOpener() = default;

    virtual QCoro::Task<void> open(const QUrl &url) = 0;
    // Shows a file selected in the file manager, whether or not it exists;
    // where no file manager answers, opens the folder that holds it.
    virtual QCoro::Task<void> reveal(const QString &filePath) = 0;
};

} // namespace vima
