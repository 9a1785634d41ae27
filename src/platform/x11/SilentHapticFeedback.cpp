#include "platform/x11/SilentHapticFeedback.h"

namespace vima {

void SilentHapticFeedback::perform(Pattern) {}

} // namespace vima
