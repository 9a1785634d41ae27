#include "store/ConfigError.h"

namespace vima {

QString ConfigError::description() const
{
    return QStringLiteral("This config was written by a newer version of Tavelon (format %1).")
        .arg(version_);
}

} // namespace vima
