#pragma once

#include "model/Settings.h"

namespace vima {

// `system` follows the desktop's own colours; `light` and `dark` force one.
void applyTheme(AppTheme theme);

} // namespace vima
