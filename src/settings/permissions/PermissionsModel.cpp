#include "settings/permissions/PermissionsModel.h"

#include "services/HotkeyManager.h"
#include "services/PermissionsService.h"
#include "store/ConfigStore.h"

namespace vima {

PermissionsModel::PermissionsModel(PermissionsService &permissions, ConfigStore &store, QObject *parent)
    : QObject(parent), permissions_(permissions)
{
    connect(&permissions_, &PermissionsService::accessibilityTrustedChanged, this,
            &PermissionsModel::grantChanged);
    store.watch(this, &VimaConfig::hotkey, [this](const HotkeySpec &hotkey) {
        hotkeyName_ = HotkeyManager::displayName(hotkey.keyCode, hotkey.modifierFlags);
        Q_EMIT hotkeyChanged();
    });
}

bool PermissionsModel::isGranted() const
{
    return permissions_.isAccessibilityTrusted();
}

QString PermissionsModel::stateText() const
{
    return isGranted() ? QStringLiteral("Granted") : QStringLiteral("Not granted");
}

QString PermissionsModel::detailText() const
{
    return isGranted() ? QStringLiteral("AI actions on your selection are ready to use.")
                       : QStringLiteral("AI actions can't read your selection yet.");
}

// Where the system has no settings page, a button to open it would do nothing.
PermissionsModel::Button PermissionsModel::button() const
{
    if (!isGranted())
        return Button::enable;
    return permissions_.canOpenAccessibilitySettings() ? Button::openSettings : Button::none;
}

QList<PermissionsModel::Section> PermissionsModel::sections() const
{
    return {
        {QStringLiteral("What it's used for"),
         {{QStringLiteral("text.cursor"), QStringLiteral("Reading your selection"),
           QStringLiteral("Tavelon asks the frontmost app for its selected text through the Accessibility API. "
                          "If the app doesn't answer, it falls back to a synthetic ⌘C and restores your "
                          "clipboard afterwards.")},
          {QStringLiteral("arrow.left.arrow.right"), QStringLiteral("Pasting results back"),
           QStringLiteral("Actions set to “Replace selection” send a synthetic ⌘V. macOS only allows "
                          "synthetic keystrokes from trusted apps.")}}},
        {QStringLiteral("What it is NOT used for"),
         {{QStringLiteral("keyboard"), QStringLiteral("The global hotkey"),
           QStringLiteral("Tavelon registers ") + hotkeyName_ +
               QStringLiteral(" through Carbon's RegisterEventHotKey, which needs no permission. It does not "
                              "install a keyboard event tap and cannot see what you type.")},
          {QStringLiteral("app.badge"), QStringLiteral("Launch, open and script actions"),
           QStringLiteral("Those work with no permission at all. The ring is fully usable before you grant "
                          "anything.")}}},
        {QStringLiteral("Automation"),
         {{QStringLiteral("applescript"), QStringLiteral("AppleScript items"),
           QStringLiteral("The first time an AppleScript item controls another app, macOS asks separately for "
                          "Automation permission for that specific app. Tavelon doesn't request it up "
                          "front.")}}},
    };
}

QString PermissionsModel::tip()
{
    return QStringLiteral("If you've granted permission but it still says “Not granted”, remove Tavelon from the "
                          "Accessibility list with “−”, then add it again. macOS ties the permission to the "
                          "app's code signature, which changes every time you rebuild from Xcode.");
}

void PermissionsModel::shown()
{
    permissions_.recheck();
}

void PermissionsModel::enable()
{
    permissions_.requestAccessibility();
}

void PermissionsModel::openSettings()
{
    permissions_.openAccessibilitySettings();
}

} // namespace vima
