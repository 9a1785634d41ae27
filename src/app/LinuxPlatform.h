#pragma once

#include "app/Platform.h"

namespace vima {

// The desktop as X11 and the freedesktop.org standards offer it.
Platform makeLinuxPlatform();

} // namespace vima
