#include "async/FakeScheduler.h"
#include "platform/fake/FakeAccessibilityPermission.h"
#include "services/PermissionsService.h"

#include <QSignalSpy>
#include <QTest>

using namespace vima;
using Trust = PermissionsService::Trust;

class TestPermissionsService : public QObject {
    Q_OBJECT

private:
    FakeScheduler scheduler_;
    FakeAccessibilityPermission permission_;

private Q_SLOTS:
    void init()
    {
        scheduler_ = FakeScheduler();
        permission_ = FakeAccessibilityPermission();
    }

    void pollingPublishesEachRealChangeOnce()
    {
        PermissionsService service(permission_, scheduler_);
        QSignalSpy changes(&service, &PermissionsService::accessibilityTrustedChanged);
        permission_.trusted = true;
        scheduler_.advance(1.9);
        QCOMPARE(changes.size(), 0);
        scheduler_.advance(0.1);
        QCOMPARE(changes.size(), 1);
        QCOMPARE(changes.first().first().toBool(), true);
        scheduler_.advance(10);
        QCOMPARE(changes.size(), 1);
        permission_.trusted = false;
        scheduler_.advance(2);
        QCOMPARE(changes.size(), 2);
        QVERIFY(!service.isAccessibilityTrusted());
    }

    // What is missing is published with the flag: the pages name it.
    void recheckPublishesOnlyAChange()
    {
        PermissionsService service(permission_, scheduler_);
        QSignalSpy changes(&service, &PermissionsService::accessibilityTrustedChanged);
        QCOMPARE(service.trust(), Trust::noXTest);
        service.recheck();
        QCOMPARE(changes.size(), 0);
        permission_.missing = Trust::noX11Session;
        service.recheck();
        QCOMPARE(changes.size(), 1);
        QCOMPARE(service.trust(), Trust::noX11Session);
        permission_.trusted = true;
        service.recheck();
        service.recheck();
        QCOMPARE(changes.size(), 2);
        QVERIFY(service.isAccessibilityTrusted());
    }

    void pollingStopsWithTheService()
    {
        {
            PermissionsService service(permission_, scheduler_);
            QCOMPARE(scheduler_.pendingCount(), 1);
        }
        QCOMPARE(scheduler_.pendingCount(), 0);
    }

    void aGrantThatCannotChangeIsNotPolled()
    {
        permission_.changes = false;
        PermissionsService service(permission_, scheduler_);
        QCOMPARE(scheduler_.pendingCount(), 0);
    }
};

QTEST_GUILESS_MAIN(TestPermissionsService)
#include "tst_permissionsservice.moc"
