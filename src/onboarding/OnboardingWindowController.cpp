#include "onboarding/OnboardingWindowController.h"

namespace vima {

OnboardingWindowController::~OnboardingWindowController() { delete window_.data(); }

void OnboardingWindowController::show()
{
    if (!window_) {
        window_ = new QWidget;
        window_->setWindowTitle(QStringLiteral("Welcome to Tavelon"));
        window_->setAttribute(Qt::WA_QuitOnClose, false);
        window_->resize(640, 480);
    }
    window_->show();
    window_->raise();
    window_->activateWindow();
}

} // namespace vima
