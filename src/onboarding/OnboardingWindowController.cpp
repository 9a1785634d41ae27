#include "onboarding/OnboardingWindowController.h"

#include "onboarding/OnboardingWindow.h"
#include "ui/CenterOnPointerScreen.h"
#include "ui/WindowCommands.h"

#include <QCursor>

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
        // Forgotten at once: a show before the deferred delete builds a new one.
        QObject::connect(window_, &OnboardingWindow::closing, window_, [this] { window_.clear(); });
        centerOnPointerScreen(window_, QCursor::pos());
    }
    bringToFront(window_);
}

} // namespace vima
