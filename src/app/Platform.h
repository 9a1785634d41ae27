#pragma once

#include <memory>

namespace vima {

class Accessibility;
class AccessibilityPermission;
class ActiveApplicationSource;
class AppIconSource;
class AppleScriptEngine;
class ApplicationActivator;
class ApplicationCatalog;
class ApplicationLauncher;
class DesktopOpener;
class HapticFeedback;
class HotKeyProbe;
class HotKeyRegistrar;
class KeyEventCodes;
class KeySender;
class KeyboardGrab;
class LoginItemRegistry;
class Pasteboard;
class PointerEventTap;
class PointerGrab;
class ScreenBackdrop;
class SecretStore;
class SystemBeep;

// Everything the agent needs of the desktop, as the interfaces of
// src/platform. The agent gets the Linux implementations; tests get fakes.
struct Platform {
    Platform();
    Platform(Platform &&) noexcept;
    ~Platform();

    // Shared: an installed-application scan on a worker thread holds it too.
    std::shared_ptr<ApplicationCatalog> catalog;
    std::unique_ptr<AppIconSource> appIcons;
    std::unique_ptr<HotKeyRegistrar> hotKeys;
    std::unique_ptr<HotKeyProbe> hotKeyProbe; // may ask hotKeys
    std::unique_ptr<KeyEventCodes> keyEventCodes;
    std::unique_ptr<ActiveApplicationSource> activeApplications;
    std::unique_ptr<PointerEventTap> pointerTap;
    std::unique_ptr<AccessibilityPermission> accessibilityPermission;
    std::unique_ptr<LoginItemRegistry> loginItems;
    std::unique_ptr<SecretStore> secrets;
    std::unique_ptr<HapticFeedback> haptics;
    std::unique_ptr<SystemBeep> beep;
    std::unique_ptr<KeyboardGrab> keyboard;
    std::unique_ptr<PointerGrab> pointerGrab;
    std::unique_ptr<ScreenBackdrop> backdrop;
    std::unique_ptr<Accessibility> accessibility;
    std::unique_ptr<Pasteboard> pasteboard;
    std::unique_ptr<KeySender> keys;
    std::unique_ptr<ApplicationActivator> activator;
    std::unique_ptr<ApplicationLauncher> launcher;
    std::unique_ptr<DesktopOpener> opener;
    std::unique_ptr<AppleScriptEngine> appleScript;
};

} // namespace vima
