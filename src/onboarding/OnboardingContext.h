#pragma once

#include <functional>

namespace vima {

class ConfigStore;
class FrontmostAppObserver;
class NotificationCenter;
class PermissionsService;
class RingWindowController;
struct RingTemplate;

// The services the first-run window uses, handed over by the delegate.
struct OnboardingContext {
    ConfigStore &store;
    PermissionsService &permissions;
    FrontmostAppObserver &frontmost;
    RingWindowController &ringController;
    NotificationCenter &notifications;
    // Asks whether `ringTemplate` may replace the default ring; calls
    // `replace` only when the user agrees.
    std::function<void(const RingTemplate &ringTemplate, std::function<void()> replace)> confirmReplace;
};

} // namespace vima
