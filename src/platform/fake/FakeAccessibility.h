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
    // Per process; a process not named here doesn't say.
    QHash<qint64, bool> focusEditable;

    bool isTrusted() const override { return trusted; }
    AccessibilityElement::Pointer applicationElement(const RunningApplication &app) override
    {
        auto element = applications.value(app.pid);
        return element ? element : FakeAccessibilityElement::make();
    }
    AccessibilityElement::Pointer systemWideElement() override { return systemWide; }
    QCoro::Task<std::optional<bool>> focusTakesTyping(RunningApplication app) override
    {
        co_return focusEditable.contains(app.pid) ? std::optional(focusEditable.value(app.pid)) : std::nullopt;
    }
};

} // namespace vima
