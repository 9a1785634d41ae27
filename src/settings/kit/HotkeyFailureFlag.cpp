#include "settings/kit/HotkeyFailureFlag.h"

namespace vima {

void HotkeyFailureFlag::setFailed(bool failed)
{
    if (failed_ == failed)
        return;
    failed_ = failed;
    Q_EMIT changed(failed);
}

} // namespace vima
