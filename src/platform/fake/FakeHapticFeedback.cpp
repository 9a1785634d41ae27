#include "platform/fake/FakeHapticFeedback.h"

namespace vima {

void FakeHapticFeedback::perform(Pattern pattern) { performed.append(pattern); }

} // namespace vima
