#pragma once

#include "services/PermissionsService.h"
#include "settings/kit/DisclosureText.h"

#include <QList>
#include <QObject>
#include <QString>

namespace vima {

class ConfigStore;

// The Permissions tab without its widgets: whether reading and pasting are
// available, what is missing when they are not, and the explanations, one of
// which names the configured hotkey.
class PermissionsModel final : public QObject {
    Q_OBJECT

public:
    struct Section {
        QString heading;
        QList<DisclosureText> rows;
    };

    PermissionsModel(PermissionsService &permissions, ConfigStore &store, QObject *parent = nullptr);

    bool isGranted() const;
    QString stateText() const;
    QString detailText() const;
    // What is missing and what gets further; empty while granted.
    QString missingText() const { return missingText(permissions_.trust()); }
    static QString missingText(PermissionsService::Trust trust);

    // The explanation sections in order; the hotkey row names the hotkey configured now.
    QList<Section> sections() const;
    static QString tip();

    // "Check Again" is offered only while the trust is missing and could
    // still come: on X11 it is fixed for the life of the process.
    bool offersCheckAgain() const;
    // The page came on screen, or "Check Again": the trust is read again.
    void checkAgain();

Q_SIGNALS:
    void grantChanged(bool granted);
    void hotkeyChanged();

private:
    PermissionsService &permissions_;
    QString hotkeyName_;
};

} // namespace vima
