#include "app/Platform.h"

#include "platform/Accessibility.h"
#include "platform/AccessibilityPermission.h"
#include "platform/ActiveApplicationSource.h"
#include "platform/AppIconSource.h"
#include "platform/AppleScriptEngine.h"
#include "platform/ApplicationActivator.h"
#include "platform/ApplicationCatalog.h"
#include "platform/ApplicationLauncher.h"
#include "platform/DesktopOpener.h"
#include "platform/HapticFeedback.h"
#include "platform/HotKeyProbe.h"
#include "platform/HotKeyRegistrar.h"
#include "platform/KeyEventCodes.h"
#include "platform/KeySender.h"
#include "platform/KeyboardGrab.h"
#include "platform/LoginItemRegistry.h"
#include "platform/Pasteboard.h"
#include "platform/PointerEventTap.h"
#include "platform/PointerGrab.h"
#include "platform/ScreenBackdrop.h"
#include "platform/SecretStore.h"
#include "platform/SystemBeep.h"

namespace vima {

Platform::Platform() = default;
Platform::Platform(Platform &&) noexcept = default;
Platform::~Platform() = default;

} // namespace vima
