#include "async/FakeScheduler.h"
#include "platform/fake/FakeAccessibilityPermission.h"
#include "services/PermissionsService.h"

#include <QSignalSpy>
#include <QTest>

using namespace vima;

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

    void alreadyTrustedShowsNothing()
    {
        permission_.trusted = true;
        PermissionsService service(permission_, scheduler_);
        QVERIFY(service.isAccessibilityTrusted());
        QVERIFY(service.requestAccessibility());
        QCOMPARE(permission_.prompts, 0);
        QCOMPARE(permission_.settingsOpened, 0);
    }

    void promptsOnceThenOpensTheSettings()
    {
        PermissionsService service(permission_, scheduler_);
        QVERIFY(!service.requestAccessibility());
        QCOMPARE(permission_.prompts, 1);
        QCOMPARE(permission_.settingsOpened, 0);
        QVERIFY(!service.requestAccessibility());
        QCOMPARE(permission_.prompts, 1);
        QCOMPARE(permission_.settingsOpened, 1);
    }

    void aGrantSeenWhileAskingIsPublished()
    {
        PermissionsService service(permission_, scheduler_);
        QSignalSpy changes(&service, &PermissionsService::accessibilityTrustedChanged);
        permission_.trusted = true;
        QVERIFY(service.requestAccessibility());
        QCOMPARE(changes.size(), 1);
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

    void recheckPublishesOnlyAChange()
    {
        PermissionsService service(permission_, scheduler_);
        QSignalSpy changes(&service, &PermissionsService::accessibilityTrustedChanged);
        service.recheck();
        QCOMPARE(changes.size(), 0);
        permission_.trusted = true;
        service.recheck();
        service.recheck();
        QCOMPARE(changes.size(), 1);
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
