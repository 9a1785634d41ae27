#pragma once

#include "platform/ApplicationActivator.h"

namespace vima {

// Finds an application's windows by process, or by the names its windows go
// by, and asks the window manager to bring one forward.
class X11ApplicationActivator final : public ApplicationActivator {
public:
    bool isActive(const RunningApplication &app) const override;
    std::optional<RunningApplication> openWindow(const AppIdentity &app) const override;
    bool activate(const RunningApplication &app) override;
};

} // namespace vima
