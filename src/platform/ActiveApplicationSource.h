#pragma once

#include "platform/RunningApplication.h"

#include <QString>
#include <functional>
#include <optional>

namespace vima {

// Which application the user is working in, and each switch to another.
class ActiveApplicationSource {
public:
    virtual ~ActiveApplicationSource() = default;

    // The application active now; none when no window is active or no window
    // manager keeps track of it.
    virtual std::optional<RunningApplication> frontmostApplication() const = 0;
    // This application's own bundle identifier; none when it has none.
    virtual std::optional<QString> ownBundleID() const = 0;

    // Called on the main thread each time an application becomes active; none
    // when the activation names no application.
    std::function<void(const std::optional<RunningApplication> &app)> onActivated;
};

} // namespace vima
