#pragma once

#include "platform/RunningApplication.h"

namespace vima {

// Which application is in front, and bringing one there.
class ApplicationActivator {
public:
    virtual ~ApplicationActivator() = default;

    virtual bool isActive(const RunningApplication &app) const = 0;
    // False when the application has no window to bring forward.
    virtual bool activate(const RunningApplication &app) = 0;
};

} // namespace vima
