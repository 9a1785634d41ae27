#pragma once

namespace vima {

// Tactile feedback on a trackpad that supports it. Linux desktops have none,
// so the X11 implementation does nothing; the fake records what was asked.
class HapticFeedback {
public:
    enum class Pattern { alignment = 1, levelChange = 2 };

    virtual ~HapticFeedback() = default;

    virtual void perform(Pattern pattern) = 0;
};

} // namespace vima
