#pragma once

namespace vima {

// A self-updater started by the update service when the build can update itself.
class Updater {
public:
    virtual ~Updater() = default;

    virtual void setAutomaticallyChecksForUpdates(bool enabled) = 0;
    virtual bool canCheckForUpdates() const = 0;
    // A check the user asked for, with the updater's own windows.
    virtual void checkForUpdates() = 0;
};

} // namespace vima
