#include "platform/fake/FakeSystemBeep.h"

namespace vima {

void FakeSystemBeep::beep() { ++beeps; }

} // namespace vima
