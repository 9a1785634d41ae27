#pragma once

#include "platform/ApplicationActivator.h"
#include "platform/ApplicationCatalog.h"

namespace vima {

// Finds an application's windows by process, or by the names its windows go
// by, and asks the window manager to bring one forward.
class X11ApplicationActivator final : public ApplicationActivator {
public:
    // `catalog` (may be null) tells which entry a window belongs to; it must outlive the activator.
    explicit X11ApplicationActivator(const ApplicationCatalog *catalog = nullptr) : catalog_(catalog) {}

    bool isActive(const RunningApplication &app) const override;
    std::optional<RunningApplication> openWindow(const AppIdentity &app) const override;
    bool activate(const RunningApplication &app) override;

private:
    const ApplicationCatalog *catalog_;
};

} // namespace vima
