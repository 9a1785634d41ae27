#pragma once

#include "model/Settings.h"

#include <QString>

namespace vima {

// The provider's name as the user sees it in messages and settings.
QString displayName(LLMProviderKind kind);

} // namespace vima
