#pragma once

namespace vima {

enum class LoginItemStatus { notRegistered, enabled };

// Whether the system starts this application when the user logs in.
class LoginItemRegistry {
public:
    virtual ~LoginItemRegistry() = default;

    virtual LoginItemStatus status() const = 0;
    // Both throw PlatformError with the system's description when refused.
    virtual void registerItem() = 0;
    virtual void unregisterItem() = 0;
};

} // namespace vima
