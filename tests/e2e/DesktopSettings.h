#pragma once

// Settings pages against the agent's own store and the desktop's installed
// applications, with fakes for everything else.
#include "AgentHome.h"
#include "SettingsHarness.h"

#include "platform/x11/XdgApplicationCatalog.h"

#include <memory>

namespace vima::test {

// Swaps the harness's store for one in the agent's config folder, saved with `config`.
inline void useAgentStore(SettingsHarness &harness, const VimaConfig &config)
{
    harness.fixture.store = std::make_unique<ConfigStore>(agent_home::configFolder(), Scheduler::system());
    harness.store().setConfig(config);
    harness.store().save();
}

// The harness's fakes, with `prompts` and the desktop's `catalog`.
inline SettingsContext withDesktopCatalog(const SettingsContext &fakes, UiPrompts &prompts,
                                          const std::shared_ptr<XdgApplicationCatalog> &catalog)
{
    return SettingsContext{
        .store = fakes.store,
        .permissions = fakes.permissions,
        .loginItem = fakes.loginItem,
        .llm = fakes.llm,
        .keychain = fakes.keychain,
        .shortcuts = fakes.shortcuts,
        .keyEventCodes = fakes.keyEventCodes,
        .keyboard = fakes.keyboard,
        .notifications = fakes.notifications,
        .prompts = prompts,
        .hotkeyFailure = fakes.hotkeyFailure,
        .settings = fakes.settings,
        .scheduler = fakes.scheduler,
        .catalog = *catalog,
        .appIcons = fakes.appIcons,
        .haptics = fakes.haptics,
        .beep = fakes.beep,
        .sharedCatalog = catalog,
    };
}

} // namespace vima::test
