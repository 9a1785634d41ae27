#pragma once

#include "app/Platform.h"
#include "platform/fake/FakeAccessibility.h"
#include "platform/fake/FakeAccessibilityPermission.h"
#include "platform/fake/FakeActiveApplicationSource.h"
#include "platform/fake/FakeAppIconSource.h"
#include "platform/fake/FakeAppleScriptEngine.h"
#include "platform/fake/FakeApplicationActivator.h"
#include "platform/fake/FakeApplicationCatalog.h"
#include "platform/fake/FakeApplicationLauncher.h"
#include "platform/fake/FakeDesktopOpener.h"
#include "platform/fake/FakeHapticFeedback.h"
#include "platform/fake/FakeHotKeyProbe.h"
#include "platform/fake/FakeHotKeyRegistrar.h"
#include "platform/fake/FakeKeyEventCodes.h"
#include "platform/fake/FakeKeySender.h"
#include "platform/fake/FakeKeyboardGrab.h"
#include "platform/fake/FakeLoginItemRegistry.h"
#include "platform/fake/FakePasteboard.h"
#include "platform/fake/FakePointerEventTap.h"
#include "platform/fake/FakePointerGrab.h"
#include "platform/fake/FakeScreenBackdrop.h"
#include "platform/fake/FakeSecretStore.h"
#include "platform/fake/FakeSystemBeep.h"

namespace vima {

// A whole desktop of fakes, with typed handles for the tests to drive.
struct FakePlatform {
    Platform platform;
    FakeHotKeyRegistrar *hotKeys = install<FakeHotKeyRegistrar>(platform.hotKeys);
    FakeHotKeyProbe *hotKeyProbe = install<FakeHotKeyProbe>(platform.hotKeyProbe);
    FakeKeyEventCodes *keyEventCodes = install<FakeKeyEventCodes>(platform.keyEventCodes);
    FakeActiveApplicationSource *activeApplications =
        install<FakeActiveApplicationSource>(platform.activeApplications);
    FakePointerEventTap *pointerTap = install<FakePointerEventTap>(platform.pointerTap);
    FakeAccessibilityPermission *permission = install<FakeAccessibilityPermission>(platform.accessibilityPermission);
    FakeLoginItemRegistry *loginItems = install<FakeLoginItemRegistry>(platform.loginItems);
    FakeSecretStore *secrets = install<FakeSecretStore>(platform.secrets);
    FakeKeyboardGrab *keyboard = install<FakeKeyboardGrab>(platform.keyboard);
    FakePointerGrab *pointerGrab = install<FakePointerGrab>(platform.pointerGrab);
    FakePasteboard *pasteboard = install<FakePasteboard>(platform.pasteboard);
    FakeApplicationCatalog *catalog = install<FakeApplicationCatalog>(platform.catalog);
    FakeAppIconSource *appIcons = install<FakeAppIconSource>(platform.appIcons);
    FakeHapticFeedback *haptics = install<FakeHapticFeedback>(platform.haptics);
    FakeSystemBeep *beep = install<FakeSystemBeep>(platform.beep);
    FakeScreenBackdrop *backdrop = install<FakeScreenBackdrop>(platform.backdrop);
    FakeAccessibility *accessibility = install<FakeAccessibility>(platform.accessibility);
    FakeKeySender *keys = install<FakeKeySender>(platform.keys);
    FakeApplicationActivator *activator = install<FakeApplicationActivator>(platform.activator);
    FakeApplicationLauncher *launcher = install<FakeApplicationLauncher>(platform.launcher);
    FakeDesktopOpener *opener = install<FakeDesktopOpener>(platform.opener);
    FakeAppleScriptEngine *appleScript = install<FakeAppleScriptEngine>(platform.appleScript);

private:
    template<typename Fake, typename Owner>
    static Fake *install(Owner &slot)
    {
        auto fake = std::make_unique<Fake>();
        Fake *raw = fake.get();
        slot = std::move(fake);
        return raw;
    }
};

} // namespace vima
