#include "Gallery.h"

#include "OnboardingFixture.h"
#include "onboarding/OnboardingModel.h"
#include "onboarding/OnboardingWindowController.h"

using namespace vima;

namespace {

using Action = OnboardingModel::Action;

// Every page of the first-run window and each form of the ready page: without
// XTest (with the taken-hotkey line), outside an X11 session, and granted.
void drawOnboarding()
{
    test::OnboardingFixture fixture;
    fixture.permission.changes = false; // as on X11: no "Check Again"
    fixture.harness.hotkeyFailure.setFailed(true);
    OnboardingWindowController controller(fixture.context());
    controller.show(true);
    OnboardingWindow &window = *controller.window();
    gallery::save(window, QStringLiteral("onboarding-welcome"));
    window.model().trigger(Action::next);
    window.model().selectTemplate(RingTemplate::all().last().id);
    gallery::save(window, QStringLiteral("onboarding-templates"));
    window.model().trigger(Action::useSelectedTemplate);
    gallery::save(window, QStringLiteral("onboarding-ready-no-xtest"));
    fixture.harness.hotkeyFailure.setFailed(false);
    fixture.permission.missing = AccessibilityPermission::Trust::noX11Session;
    window.model().refreshAccessibility();
    gallery::save(window, QStringLiteral("onboarding-ready-no-x11"));
    fixture.permission.trusted = true;
    window.model().refreshAccessibility();
    gallery::save(window, QStringLiteral("onboarding-ready-granted"));
}

const gallery::Pictures pictures("onboarding", drawOnboarding);

} // namespace
