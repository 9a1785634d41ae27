#include "platform/x11/X11AccessibilityPermission.h"

#include <QTest>

using namespace vima;

// Under a real X server with XTest, as tests/support/xsession.sh gives.
class PermissionOnX11 : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void trustedWithTheDisplayAndXTest()
    {
        X11AccessibilityPermission permission;
        QVERIFY(permission.isTrusted());
        permission.showSystemPrompt(); // nothing to grant: must neither block nor open anything
        permission.openSettings();
        QVERIFY(permission.isTrusted());
    }
};

QTEST_MAIN(PermissionOnX11)
#include "e2e_permission.moc"
