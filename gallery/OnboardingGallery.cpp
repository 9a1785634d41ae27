#include "Gallery.h"

#include "OnboardingFixture.h"
#include "onboarding/OnboardingModel.h"
#include "onboarding/OnboardingWindowController.h"
#include "settings/kit/PermissionGuideView.h"

using namespace vima;

namespace {

using Action = OnboardingModel::Action;

// Every page of the first-run window, both forms of the ready page (with the
// taken-hotkey line on the first), and the permission guide on its own.
void drawOnboarding()
{
    test::OnboardingFixture fixture;
    fixture.harness.hotkeyFailure.setFailed(true);
    OnboardingWindowController controller(fixture.context());
    controller.show(true);
    OnboardingWindow &window = *controller.window();
    gallery::save(window, QStringLiteral("onboarding-welcome"));
    window.model().trigger(Action::next);
    window.model().selectTemplate(RingTemplate::all().last().id);
    gallery::save(window, QStringLiteral("onboarding-templates"));
    window.model().trigger(Action::useSelectedTemplate);
    gallery::save(window, QStringLiteral("onboarding-ready-asking"));
    fixture.harness.hotkeyFailure.setFailed(false);
    fixture.permission.trusted = true;
    fixture.scheduler.advance(PermissionsService::pollInterval);
    gallery::save(window, QStringLiteral("onboarding-ready-granted"));

    PermissionGuideView guide;
    guide.resize(guide.sizeHint());
    gallery::save(guide, QStringLiteral("onboarding-permission-guide"));
}

const gallery::Pictures pictures("onboarding", drawOnboarding);

} // namespace
