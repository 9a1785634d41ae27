#pragma once

#include "platform/SystemBeep.h"

namespace vima {

// Counts beeps.
class FakeSystemBeep final : public SystemBeep {
public:
    void beep() override;

    int beeps = 0;
};

} // namespace vima
