#pragma once

#include "platform/AccessibilityElement.h"
#include "platform/RunningApplication.h"

#include <QCoroTask>
#include <optional>

namespace vima {

// Entry points into other applications' accessibility trees.
class Accessibility {
public:
    virtual ~Accessibility() = default;

    // A fresh check of whether we may read and drive other applications.
    virtual bool isTrusted() const = 0;
    virtual AccessibilityElement::Pointer applicationElement(const RunningApplication &app) = 0;
    virtual AccessibilityElement::Pointer systemWideElement() = 0;
    // Whether the object that holds the application's keyboard focus takes
    // typing; nothing when its accessibility interface doesn't say, in time.
    virtual QCoro::Task<std::optional<bool>> focusTakesTyping(RunningApplication app) = 0;
};

} // namespace vima
