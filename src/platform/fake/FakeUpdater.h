#pragma once

#include "platform/Updater.h"

namespace vima {

// Records what the update service asks of its updater.
class FakeUpdater final : public Updater {
public:
    void setAutomaticallyChecksForUpdates(bool enabled) override { automaticChecks = enabled; }
    bool canCheckForUpdates() const override { return canCheck; }
    void checkForUpdates() override { ++checks; }

    bool automaticChecks = true; // the updater's own default
    bool canCheck = true;
    int checks = 0;
};

} // namespace vima
