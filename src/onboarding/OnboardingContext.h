#pragma once

namespace vima {

class FrontmostAppObserver;
class RingWindowController;
struct SettingsContext;

// What the first-run window uses, handed over by the delegate: the settings'
// services (store, permissions, prompts, notifications, the hotkey's failure)
// and the ring it lets the user try.
struct OnboardingContext {
    SettingsContext &settings;
    FrontmostAppObserver &frontmost;
    RingWindowController &ringController;
};

} // namespace vima
