#pragma once

#include "platform/AccessibilityElement.h"
#include "platform/RunningApplication.h"

namespace vima {

// Entry points into other applications' accessibility trees.
class Accessibility {
public:
    virtual ~Accessibility() = default;

    // A fresh check of whether we may read and drive other applications.
    virtual bool isTrusted() const = 0;
    virtual AccessibilityElement::Pointer applicationElement(const RunningApplication &app) = 0;
    virtual AccessibilityElement::Pointer systemWideElement() = 0;
};

} // namespace vima
