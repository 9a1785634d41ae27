#pragma once

#include "platform/Accessibility.h"
#include "platform/x11/AtspiFocusReader.h"

namespace vima {

// Trusted while the X server is there with its XTest extension (synthetic
// keys). Each application offers one element, its selection (see
// X11SelectionElement); the system-wide root offers nothing, so a selection
// is read only from a known target. Whether the focus takes typing is asked
// over the accessibility bus.
class X11Accessibility final : public Accessibility {
public:
    bool isTrusted() const override;
    AccessibilityElement::Pointer applicationElement(const RunningApplication &app) override;
    AccessibilityElement::Pointer systemWideElement() override;
    QCoro::Task<std::optional<bool>> focusTakesTyping(RunningApplication app) override;

private:
    AtspiFocusReader focus_;
};

} // namespace vima
