#pragma once

#include "platform/HapticFeedback.h"

namespace vima {

// X11 has no haptic feedback: every request is dropped.
class SilentHapticFeedback final : public HapticFeedback {
public:
    void perform(Pattern pattern) override;
};

} // namespace vima
