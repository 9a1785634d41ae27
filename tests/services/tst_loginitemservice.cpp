#include "platform/fake/FakeLoginItemRegistry.h"
#include "services/LoginItemService.h"

#include <QSignalSpy>
#include <QTest>

using namespace vima;

class TestLoginItemService : public QObject {
    Q_OBJECT

private:
    FakeLoginItemRegistry registry_;

private Q_SLOTS:
    void init() { registry_ = FakeLoginItemRegistry(); }

    void startsFromTheSystemsStatus()
    {
        registry_.current = LoginItemStatus::enabled;
        const LoginItemService service(registry_);
        QVERIFY(service.isEnabled());
        QCOMPARE(service.lastError(), std::nullopt);
    }

    void turningOnWhenOnDoesNotRegisterAndClearsTheError()
    {
        LoginItemService service(registry_);
        registry_.refusal = "The operation couldn't be completed.";
        QTest::ignoreMessage(QtCriticalMsg, "Login-item register failed: The operation couldn't be completed.");
        service.setEnabled(true);
        QVERIFY(service.lastError());

        registry_.refusal.reset();
        registry_.current = LoginItemStatus::enabled;
        const int registers = registry_.registers;
        service.setEnabled(true);
        QCOMPARE(registry_.registers, registers);
        QCOMPARE(service.lastError(), std::nullopt);
        QVERIFY(service.isEnabled());
    }

    void turningOffAlwaysUnregisters()
    {
        LoginItemService service(registry_);
        registry_.refusal = "Not registered.";
        QSignalSpy errors(&service, &LoginItemService::lastErrorChanged);
        QTest::ignoreMessage(QtCriticalMsg, "Login-item unregister failed: Not registered.");
        service.setEnabled(false);
        QCOMPARE(registry_.unregisters, 1);
        QCOMPARE(service.lastError(), std::optional<QString>("Not registered."));
        QCOMPARE(errors.size(), 1);
    }

    void refreshFollowsTheSystem()
    {
        LoginItemService service(registry_);
        registry_.current = LoginItemStatus::enabled;
        QVERIFY(!service.isEnabled());
        service.refresh();
        QVERIFY(service.isEnabled());
    }
};

QTEST_GUILESS_MAIN(TestLoginItemService)
#include "tst_loginitemservice.moc"
