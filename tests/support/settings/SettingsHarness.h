#pragma once

#include "StoreTestSupport.h"

#include "ai/LLMService.h"
#include "ai/OllamaReachability.h"
#include "platform/NotificationCenter.h"
#include "platform/fake/FakeAccessibilityPermission.h"
#include "platform/fake/FakeApplicationCatalog.h"
#include "platform/fake/FakeAppIconSource.h"
#include "platform/fake/FakeHapticFeedback.h"
#include "platform/fake/FakeHotKeyProbe.h"
#include "platform/fake/FakeKeyEventCodes.h"
#include "platform/fake/FakeKeyboardGrab.h"
#include "platform/fake/FakeLoginItemRegistry.h"
#include "platform/fake/FakeSecretStore.h"
#include "platform/fake/FakeSystemBeep.h"
#include "platform/fake/FakeUiPrompts.h"
#include "services/Keychain.h"
#include "services/LoginItemService.h"
#include "services/PermissionsService.h"
#include "services/SystemShortcuts.h"
#include "settings/kit/HotkeyFailureFlag.h"
#include "settings/kit/SettingsContext.h"
#include "ui/AppIconCache.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QSettings>
#include <memory>

namespace vima::test {

// The AI tab probes the local server as it comes on screen: lets those probes
// end (for up to five seconds) before the services they report to are gone.
inline void outliveProbes(const OllamaReachability &reachability)
{
    const QDeadlineTimer limit(5000);
    while (reachability.isProbing() && !limit.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
}

// A settings context of fakes around a real store in a temporary folder
// (StoreFixture), on a fake clock. Open the store first (fixture.open(...)),
// then build pages with context().
struct SettingsHarness {
    StoreFixture fixture;
    FakeAccessibilityPermission accessibility;
    FakeLoginItemRegistry loginItems;
    FakeSecretStore secrets;
    FakeHotKeyProbe hotKeyProbe;
    FakeKeyEventCodes keyEventCodes;
    FakeKeyboardGrab keyboard;
    // Shared with the scans the pages start on threads of their own, which may
    // outlive this harness.
    std::shared_ptr<FakeApplicationCatalog> sharedCatalog = std::make_shared<FakeApplicationCatalog>();
    FakeApplicationCatalog &catalog = *sharedCatalog;
    FakeAppIconSource iconSource;
    FakeUiPrompts prompts;
    FakeHapticFeedback haptics;
    FakeSystemBeep beep;
    NotificationCenter notifications;
    HotkeyFailureFlag hotkeyFailure;
    OllamaReachability ollama{fixture.scheduler};
    QSettings userDefaults{fixture.root.filePath(QStringLiteral("defaults.ini")), QSettings::IniFormat};

    std::unique_ptr<PermissionsService> permissions;
    std::unique_ptr<LoginItemService> loginItem;
    std::unique_ptr<Keychain> keychain;
    std::unique_ptr<LLMService> llm;
    std::unique_ptr<SystemShortcuts> shortcuts;
    std::unique_ptr<AppIconCache> appIcons;
    std::unique_ptr<SettingsContext> built;

    ~SettingsHarness() { outliveProbes(ollama); }

    // The store, opened over an absent file (defaults) unless opened before.
    ConfigStore &store()
    {
        if (!fixture.store)
            fixture.open();
        return *fixture.store;
    }

    SettingsContext &context()
    {
        if (built)
            return *built;
        permissions = std::make_unique<PermissionsService>(accessibility, fixture.scheduler);
        loginItem = std::make_unique<LoginItemService>(loginItems);
        keychain = std::make_unique<Keychain>(secrets);
        if (!llm) // a test may install its own service first
            llm = std::make_unique<LLMService>([](LLMProviderKind) { return std::optional<QString>(); },
                                           LLMService::ProviderTable{}, ollama);
        shortcuts = std::make_unique<SystemShortcuts>(hotKeyProbe);
        appIcons = std::make_unique<AppIconCache>(&iconSource);
        built = std::make_unique<SettingsContext>(SettingsContext{
            .store = store(),
            .permissions = *permissions,
            .loginItem = *loginItem,
            .llm = *llm,
            .keychain = *keychain,
            .shortcuts = *shortcuts,
            .keyEventCodes = keyEventCodes,
            .keyboard = keyboard,
            .notifications = notifications,
            .prompts = prompts,
            .hotkeyFailure = hotkeyFailure,
            .settings = userDefaults,
            .scheduler = fixture.scheduler,
            .catalog = catalog,
            .appIcons = *appIcons,
            .haptics = haptics,
            .beep = beep,
            .sharedCatalog = sharedCatalog,
        });
        return *built;
    }
};

} // namespace vima::test
