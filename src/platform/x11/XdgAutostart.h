#pragma once

#include "platform/LoginItemRegistry.h"

#include <QString>

namespace vima {

// Launching at login through an XDG autostart entry,
// $XDG_CONFIG_HOME/autostart/<id>.desktop, that runs our executable.
class XdgAutostart final : public LoginItemRegistry {
public:
    // `configHome` empty: $XDG_CONFIG_HOME, else ~/.config.
    XdgAutostart(QString desktopID, QString name, QString executable, QString configHome = {});
    // This process's executable under the application's name.
    static XdgAutostart forThisApplication(const QString &desktopID);

    QString entryPath() const;

    // Enabled while the entry exists, is not switched off and runs this executable.
    LoginItemStatus status() const override;
    void registerItem() override;
    void unregisterItem() override;

private:
    QString autostartFolder() const;

    QString desktopID_;
    QString name_;
    QString executable_;
    QString configHome_;
};

} // namespace vima
