#pragma once

#include "platform/AccessibilityPermission.h"

namespace vima {

// A trust the test sets by hand, with the reason it reports while missing;
// counts how often it was read.
class FakeAccessibilityPermission final : public AccessibilityPermission {
public:
    Trust trust() const override
    {
        ++reads;
        return trusted ? Trust::trusted : missing;
    }
    bool canChange() const override { return changes; }

    bool trusted = false;
    Trust missing = Trust::noXTest;
    bool changes = true;
    mutable int reads = 0;
};

} // namespace vima
