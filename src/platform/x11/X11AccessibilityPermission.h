#pragma once

#include "platform/AccessibilityPermission.h"

namespace vima {

// Trusted on an X display whose server has the XTest extension.
class X11AccessibilityPermission final : public AccessibilityPermission {
public:
    Trust trust() const override;
    // The display and its XTest extension stay what they were at start.
    bool canChange() const override { return false; }
};

} // namespace vima
