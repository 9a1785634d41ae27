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
        QCOMPARE(permission.trust(), AccessibilityPermission::Trust::trusted);
    }
};

QTEST_MAIN(PermissionOnX11)
#include "e2e_permission.moc"
