#pragma once

#include "onboarding/OnboardingContext.h"
#include "onboarding/OnboardingWindow.h"

#include <QPointer>

namespace vima {

// Opens the first-run window, or brings the open one forward. A closed window
// is gone: the next show starts again on the welcome page.
class OnboardingWindowController final {
public:
    explicit OnboardingWindowController(OnboardingContext context);
    ~OnboardingWindowController();

    // `isFirstLaunch`: opened at the first launch rather than by request; only
    // a requested window asks before it replaces the default ring.
    void show(bool isFirstLaunch);

    OnboardingWindow *window() const { return window_; }

private:
    OnboardingContext context_;
    QPointer<OnboardingWindow> window_;
};

} // namespace vima
