#include "app/LinuxPlatform.h"

#include "model/VimaConfig.h"
#include "platform/x11/DesktopAppIconSource.h"
#include "platform/x11/QtKeychainSecretStore.h"
#include "platform/x11/QtSystemBeep.h"
#include "platform/x11/SilentHapticFeedback.h"
#include "platform/x11/UnavailableAppleScriptEngine.h"
#include "platform/x11/X11Accessibility.h"
#include "platform/x11/X11AccessibilityPermission.h"
#include "platform/x11/X11ActiveWindowSource.h"
#include "platform/x11/X11ApplicationActivator.h"
#include "platform/x11/X11HotKeyProbe.h"
#include "platform/x11/X11HotKeyRegistrar.h"
#include "platform/x11/X11KeyEventCodes.h"
#include "platform/x11/X11KeySender.h"
#include "platform/x11/X11KeyboardGrab.h"
#include "platform/x11/X11Pasteboard.h"
#include "platform/x11/X11PointerEventTap.h"
#include "platform/x11/X11PointerGrab.h"
#include "platform/x11/X11ScreenBackdrop.h"
#include "platform/x11/XdgApplicationCatalog.h"
#include "platform/x11/XdgApplicationLauncher.h"
#include "platform/x11/XdgAutostart.h"
#include "platform/x11/XdgDesktopOpener.h"

#include <QCoreApplication>

namespace vima {

Platform makeLinuxPlatform()
{
    Platform p;
    p.catalog = std::make_shared<XdgApplicationCatalog>();
    p.appIcons = std::make_unique<DesktopAppIconSource>(*p.catalog);
    auto keyboard = std::make_unique<X11KeyboardGrab>();
    auto hotKeys = std::make_unique<X11HotKeyRegistrar>(keyboard.get());
    p.hotKeyProbe = std::make_unique<X11HotKeyProbe>(*hotKeys);
    p.hotKeys = std::move(hotKeys);
    p.keyEventCodes = std::make_unique<X11KeyEventCodes>();
    p.activeApplications = std::make_unique<X11ActiveWindowSource>(p.catalog.get());
    p.pointerTap = std::make_unique<X11PointerEventTap>();
    p.accessibilityPermission = std::make_unique<X11AccessibilityPermission>();
    p.loginItems = std::make_unique<XdgAutostart>(VimaConfig::ownBundleIdentifier(), QStringLiteral("Tavelon"),
                                                  QCoreApplication::applicationFilePath());
    p.secrets = std::make_unique<QtKeychainSecretStore>(VimaConfig::ownBundleIdentifier());
    p.haptics = std::make_unique<SilentHapticFeedback>();
    p.beep = std::make_unique<QtSystemBeep>();
    p.keyboard = std::move(keyboard);
    p.pointerGrab = std::make_unique<X11PointerGrab>();
    p.backdrop = std::make_unique<X11ScreenBackdrop>();
    p.accessibility = std::make_unique<X11Accessibility>();
    p.pasteboard = std::make_unique<X11Pasteboard>();
    p.keys = std::make_unique<X11KeySender>();
    p.activator = std::make_unique<X11ApplicationActivator>(p.catalog.get());
    p.opener = std::make_unique<XdgDesktopOpener>();
    p.launcher = std::make_unique<XdgApplicationLauncher>(*p.opener, p.catalog.get());
    p.appleScript = std::make_unique<UnavailableAppleScriptEngine>();
    return p;
}

} // namespace vima
