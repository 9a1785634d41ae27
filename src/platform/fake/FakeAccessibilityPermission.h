#pragma once

#include "platform/AccessibilityPermission.h"

namespace vima {

// A grant the test switches by hand; records what was shown.
class FakeAccessibilityPermission final : public AccessibilityPermission {
public:
    bool isTrusted() const override { return trusted; }
    void showSystemPrompt() override { ++prompts; }
    void openSettings() override { ++settingsOpened; }
    bool hasSettings() const override { return settingsPane; }
    bool canChange() const override { return changes; }

    bool trusted = false;
    bool settingsPane = true;
    bool changes = true;
    int prompts = 0;
    int settingsOpened = 0;
};

} // namespace vima
