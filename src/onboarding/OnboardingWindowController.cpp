#include "onboarding/OnboardingWindowController.h"

#include "onboarding/OnboardingModel.h"
#include "onboarding/OnboardingWindow.h"

namespace vima {

OnboardingWindowController::OnboardingWindowController(OnboardingContext context)
    : context_(std::move(context))
{
}

OnboardingWindowController::~OnboardingWindowController()
{
    delete window_.data();
}

void OnboardingWindowController::show(bool isFirstLaunch)
{
    if (!window_) {
        window_ = new OnboardingWindow(context_, !isFirstLaunch);
        window_->model().setHotkeyTaken(hotkeyTaken_);
        // Forgotten at once: a show before the deferred delete builds a new one.
        QObject::connect(window_, &OnboardingWindow::closing, window_, [this] { window_.clear(); });
    }
    window_->show();
    window_->raise();
    window_->activateWindow();
}

void OnboardingWindowController::setHotkeyTaken(bool taken)
{
    hotkeyTaken_ = taken;
    if (window_)
        window_->model().setHotkeyTaken(taken);
}

} // namespace vima
