#pragma once

#include "platform/PlatformError.h"

namespace vima {

// Nothing could open a folder: no file manager, or no opener, is installed.
// Told as the built-in actions tell a missing tool, naming what needed it;
// whoever knows that name throws it again with it.
class MissingFileManager : public PlatformError {
public:
    explicit MissingFileManager(const QString &neededBy = QStringLiteral("Opening a folder"))
        : PlatformError(neededBy
                        + QStringLiteral(" needs a file manager: install nautilus, thunar, pcmanfm or dolphin."))
    {
    }
};

} // namespace vima
