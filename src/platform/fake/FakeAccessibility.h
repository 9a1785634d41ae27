#pragma once

#include "platform/Accessibility.h"
#include "platform/fake/FakeAccessibilityElement.h"

#include <QHash>

namespace vima {

// Accessibility trees held in memory, one per process, plus the system-wide root.
class FakeAccessibility final : public Accessibility {
public:
    bool trusted = true;
    QHash<qint64, FakeAccessibilityElement::Pointer> applications;
    FakeAccessibilityElement::Pointer systemWide = FakeAccessibilityElement::make();

    bool isTrusted() const override { return trusted; }
    AccessibilityElement::Pointer applicationElement(const RunningApplication &app) override
    {
        auto element = applications.value(app.pid);
        return element ? element : FakeAccessibilityElement::make();
    }
    AccessibilityElement::Pointer systemWideElement() override { return systemWide; }
};

} // namespace vima
