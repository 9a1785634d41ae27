#pragma once

// What every settings page, sheet and the first-run window may use, built
// once by the app delegate and handed down by reference. Nothing in a window
// finds a service by itself: add a member here when a page needs one more.
//
// A page takes `SettingsContext &context` in its constructor and keeps it;
// configuration fields are bound with ConfigBinding (see ConfigBinding.h),
// prompts go through `context.prompts` (see platform/UiPrompts.h), sheets
// through openSheet (ui/Sheet.h), timers through `context.scheduler`, and
// view modes the user expects remembered through `context.settings`.

#include <memory>

class QSettings;

namespace vima {

class AppIconCache;
class ApplicationCatalog;
class ConfigStore;
class HapticFeedback;
class HotkeyFailureFlag;
class KeyEventCodes;
class KeyboardGrab;
class Keychain;
class LLMService;
class LoginItemService;
class NotificationCenter;
class PermissionsService;
class Scheduler;
class SystemBeep;
class SystemShortcuts;
class UiPrompts;

struct SettingsContext {
    ConfigStore &store;
    PermissionsService &permissions;
    LoginItemService &loginItem;
    LLMService &llm;
    Keychain &keychain;
    const SystemShortcuts &shortcuts;
    // Which key a key event of ours came from, in the configuration's codes.
    const KeyEventCodes &keyEventCodes;
    // Held while the hotkey recorder records, so that it also sees a
    // combination another program has grabbed.
    KeyboardGrab &keyboard;
    NotificationCenter &notifications;
    UiPrompts &prompts;
    // Another application holds the configured hotkey (the environment's flag).
    const HotkeyFailureFlag &hotkeyFailure;
    // User defaults ("settings.ai.mode", the window's geometry).
    QSettings &settings;
    Scheduler &scheduler;
    const ApplicationCatalog &catalog;
    const AppIconCache &appIcons;
    // For the ring previews' own view models.
    HapticFeedback &haptics;
    SystemBeep &beep;
    // The same catalog, shared so that a scan can outlive the window that began it.
    std::shared_ptr<const ApplicationCatalog> sharedCatalog;
};

} // namespace vima
