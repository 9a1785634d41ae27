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
    return isGranted() ? QStringLiteral("Granted") : QStringLiteral("Not available");
}

QString PermissionsModel::detailText() const
{
    return isGranted() ? QStringLiteral("AI actions on your selection are ready to use.")
                       : QStringLiteral("AI actions can't read your selection yet.");
}

QString PermissionsModel::missingText(PermissionsService::Trust trust)
{
    switch (trust) {
    case PermissionsService::Trust::trusted:
        break;
    case PermissionsService::Trust::noXTest:
        return QStringLiteral("This X server offers no XTest extension, which reading and pasting need. Start "
                              "Tavelon on an X server that has it (Xorg and Xvfb do).");
    case PermissionsService::Trust::noX11Session:
        return QStringLiteral("This session is not X11, and Tavelon reads and pastes only through an X server. "
                              "Log in to an X11 session (not Wayland) and start Tavelon there.");
    }
    return {};
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
           QStringLiteral("Those need neither XTest nor any permission. The ring is fully usable without "
                          "them.")}}},
    };
}

QString PermissionsModel::tip()
{
    return QStringLiteral("Nothing here asks you for a grant: on X11, Tavelon reads and pastes whenever the X server "
                          "offers the XTest extension.");
}

bool PermissionsModel::offersCheckAgain() const
{
    return !isGranted() && permissions_.canChange();
}

void PermissionsModel::checkAgain()
{
    permissions_.recheck();
}

} // namespace vima
