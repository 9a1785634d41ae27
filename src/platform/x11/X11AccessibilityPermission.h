#pragma once

#include "platform/AccessibilityPermission.h"

namespace vima {

// On X11 nothing has to be granted: reading other windows and sending
// synthetic input need only our X display with the XTest extension. So the
// prompt and the settings page have nothing to show.
class X11AccessibilityPermission final : public AccessibilityPermission {
public:
    bool isTrusted() const override;
    void showSystemPrompt() override;
    void openSettings() override;
    bool hasSettings() const override { return false; }
    // The display and its XTest extension stay what they were at start.
    bool canChange() const override { return false; }
};

} // namespace vima
