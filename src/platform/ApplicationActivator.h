#pragma once

#include "model/AppIdentity.h"
#include "platform/RunningApplication.h"

#include <optional>

namespace vima {

// Which application is in front, finding an open window of one, and bringing
// one there.
class ApplicationActivator {
public:
    virtual ~ApplicationActivator() = default;

    virtual bool isActive(const RunningApplication &app) const = 0;
    // The application's window most likely in use, told by the names the
    // window goes by; none when it has none open.
    virtual std::optional<RunningApplication> openWindow(const AppIdentity &app) const = 0;
    // False when the application has no window to bring forward.
    virtual bool activate(const RunningApplication &app) = 0;
};

} // namespace vima
