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
           QStringLiteral("Tavelon reads the frontmost app's selected text from the X PRIMARY selection. "
                          "If the app doesn't own it, it falls back to a synthetic Ctrl+C and restores your "
                          "clipboard afterwards.")},
          {QStringLiteral("arrow.left.arrow.right"), QStringLiteral("Pasting results back"),
           QStringLiteral("Actions set to “Replace selection” send a synthetic Ctrl+V. The X server takes "
                          "synthetic keystrokes through its XTest extension.")}}},
        {QStringLiteral("What it is NOT used for"),
         {{QStringLiteral("keyboard"), QStringLiteral("The global hotkey"),
           QStringLiteral("Tavelon grabs ") + hotkeyName_ +
               QStringLiteral(" with the X server, which needs no permission. It receives that one key "
                              "combination only and cannot see anything else you type.")},
          {QStringLiteral("app.badge"), QStringLiteral("Launch, open and script actions"),
           QStringLiteral("Those work with no permission at all. The ring is fully usable before you grant "
                          "anything.")}}},
    };
}

QString PermissionsModel::tip()
{
    return QStringLiteral("If it still says “Not granted”, Tavelon isn't running on an X display, or the X server "
                          "lacks the XTest extension. Start it in an X11 session (not Wayland) and it is granted "
                          "with nothing to approve.");
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
