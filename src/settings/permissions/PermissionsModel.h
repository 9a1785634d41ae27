#pragma once

#include "settings/kit/DisclosureText.h"

#include <QList>
#include <QObject>
#include <QString>

namespace vima {

class ConfigStore;
class PermissionsService;

// The Permissions tab without its widgets: whether the grant is there, the
// one button that asks for it or opens its settings, and the explanations,
// one of which names the configured hotkey.
class PermissionsModel final : public QObject {
    Q_OBJECT

public:
    struct Section {
        QString heading;
        QList<DisclosureText> rows;
    };
    enum class Button { enable, openSettings, none };

    PermissionsModel(PermissionsService &permissions, ConfigStore &store, QObject *parent = nullptr);

    bool isGranted() const;
    QString stateText() const;
    QString detailText() const;
    Button button() const;
    bool showsGuide() const { return !isGranted(); }

    // The explanation sections in order; the hotkey row names the hotkey configured now.
    QList<Section> sections() const;
    static QString tip();

    // The page came on screen: the grant is read again.
    void shown();
    void enable();
    void openSettings();

Q_SIGNALS:
    void grantChanged(bool granted);
    void hotkeyChanged();

private:
    PermissionsService &permissions_;
    QString hotkeyName_;
};

} // namespace vima
