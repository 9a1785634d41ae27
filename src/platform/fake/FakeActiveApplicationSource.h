#pragma once

#include "platform/ActiveApplicationSource.h"

namespace vima {

// An application switcher driven by the test.
class FakeActiveApplicationSource final : public ActiveApplicationSource {
public:
    std::optional<RunningApplication> frontmostApplication() const override { return frontmost; }
    std::optional<QString> ownBundleID() const override { return ownID; }

    // Makes `app` frontmost and tells the observer, as a switch would.
    void activate(const std::optional<RunningApplication> &app);

    std::optional<RunningApplication> frontmost;
    std::optional<QString> ownID;
};

} // namespace vima
