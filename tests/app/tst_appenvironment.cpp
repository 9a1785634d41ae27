#include "FakePlatform.h"

#include "actions/ActionRunner.h"
#include "app/AppDelegate.h"
#include "app/AppEnvironment.h"
#include "async/FakeScheduler.h"
#include "model/ItemAction.h"
#include "model/KeyCodes.h"
#include "onboarding/OnboardingModel.h"
#include "onboarding/OnboardingWindowController.h"
#include "platform/NotificationCenter.h"
#include "platform/NotificationNames.h"
#include "ring/RingWindowController.h"
#include "services/HotkeyManager.h"
#include "services/Keychain.h"
#include "services/PointerTriggerMonitor.h"
#include "settings/SettingsWindow.h"
#include "settings/SettingsWindowController.h"

#include <QTabWidget>
#include "store/ConfigStore.h"

#include <QFile>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

using namespace vima;

namespace {

constexpr quint32 keyF5 = 96;

struct Fixture {
    QTemporaryDir dir;
    FakeScheduler scheduler;
    FakePlatform fakes;
    NotificationCenter notifications;
    std::unique_ptr<AppEnvironment> environment;

    explicit Fixture(bool build = true)
    {
        if (build)
            environment = std::make_unique<AppEnvironment>(fakes.platform, dir.path(), scheduler, notifications);
    }

    void edit(const std::function<void(VimaConfig &)> &change)
    {
        VimaConfig config = environment->configStore().config();
        change(config);
        environment->configStore().setConfig(config);
    }
};

} // namespace

class TestAppEnvironment : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void defaultHotkeyIsRegisteredAtWiring()
    {
        Fixture f;
        QCOMPARE(f.fakes.hotKeys->registeredKeys().size(), 1);
        QCOMPARE(f.fakes.hotKeys->registeredKeys().first().keyCode, 49u);
        QVERIFY(!f.environment->hotkeyRegistrationFailed());
        const int calls = f.fakes.hotKeys->registerCalls;
        f.environment->start(); // the same combination again touches nothing
        QCOMPARE(f.fakes.hotKeys->registerCalls, calls);
    }

    void keysAreReadWhenAIIsFirstUsedAndOnlyThen()
    {
        Fixture f;
        f.fakes.secrets->items.insert(QStringLiteral("api-key.anthropic"), "sk-ant-1");
        f.environment->start();
        QCOMPARE(f.fakes.secrets->reads, 0);
        f.environment->prepareAI();
        f.environment->prepareAI();
        QCOMPARE(f.fakes.secrets->reads, allProviderKinds().size());
        QCOMPARE(f.environment->keychain().apiKey(LLMProviderKind::anthropic), QStringLiteral("sk-ant-1"));
    }

    void hotkeyWithoutModifierIsNeverRegistered()
    {
        Fixture f;
        f.edit([](VimaConfig &c) { c.hotkey = HotkeySpec{keyF5, 0}; });
        QVERIFY(f.fakes.hotKeys->registeredKeys().isEmpty());
        QVERIFY(f.environment->hotkeyRegistrationFailed());
        f.edit([](VimaConfig &c) { c.hotkey = HotkeySpec{keyF5, HotkeySpec::option}; });
        QCOMPARE(f.fakes.hotKeys->registeredKeys().size(), 1);
        QCOMPARE(f.fakes.hotKeys->registeredKeys().first().keyCode, keyF5);
        QVERIFY(!f.environment->hotkeyRegistrationFailed());
    }

    void refusedHotkeyIsReported()
    {
        Fixture f;
        f.fakes.hotKeys->heldElsewhere.append({keyF5, HotkeySpec::control});
        f.edit([](VimaConfig &c) { c.hotkey = HotkeySpec{keyF5, HotkeySpec::control}; });
        QVERIFY(f.environment->hotkeyRegistrationFailed());
    }

    void themeChangeLeavesTheHotkeyAlone()
    {
        Fixture f;
        const int registers = f.fakes.hotKeys->registerCalls;
        const int unregisters = f.fakes.hotKeys->unregisterCalls;
        const int installs = f.fakes.pointerTap->installCalls;
        f.edit([](VimaConfig &c) { c.appearance.theme = AppTheme::dark; });
        f.edit([](VimaConfig &c) { c.appearance.theme = AppTheme::system; });
        QCOMPARE(f.fakes.hotKeys->registerCalls, registers);
        QCOMPARE(f.fakes.hotKeys->unregisterCalls, unregisters);
        QCOMPARE(f.fakes.pointerTap->installCalls, installs);
    }

    void pointerTriggerRule_data()
    {
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<int>("kind");
        QTest::addColumn<bool>("trusted");
        QTest::addColumn<bool>("started");
        using K = PointerTrigger::Kind;
        QTest::newRow("on, long press, trusted") << true << int(K::longPressRightClick) << true << true;
        QTest::newRow("on, long press, untrusted") << true << int(K::longPressRightClick) << false << false;
        QTest::newRow("off, long press, trusted") << false << int(K::longPressRightClick) << true << false;
        QTest::newRow("on, mouse button, trusted") << true << int(K::mouseButton) << true << false;
        QTest::newRow("on, hot corner, trusted") << true << int(K::hotCorner) << true << false;
    }

    void pointerTriggerRule()
    {
        QFETCH(bool, enabled);
        QFETCH(int, kind);
        QFETCH(bool, trusted);
        QFETCH(bool, started);
        Fixture f;
        f.fakes.permission->trusted = trusted;
        f.edit([&](VimaConfig &c) {
            c.pointerTrigger.enabled = enabled;
            c.pointerTrigger.kind = static_cast<PointerTrigger::Kind>(kind);
            c.pointerTrigger.holdDelay = 0.6;
        });
        QCOMPARE(f.environment->pointer().isStarted(), started);
        QCOMPARE(f.environment->pointer().recognizer().holdDelay, 0.6);
    }

    void grantingAccessibilityStartsTheTriggerWithoutAConfigurationChange()
    {
        Fixture f;
        f.edit([](VimaConfig &c) { c.pointerTrigger.enabled = true; });
        QVERIFY(!f.environment->pointer().isStarted());
        f.fakes.permission->trusted = true;
        f.scheduler.advance(2.5); // the permission service's next poll
        QVERIFY(f.environment->pointer().isStarted());
    }

    void hotkeyTogglesTheRing()
    {
        Fixture f;
        int activations = 0;
        RingWindowController &ring = f.environment->ringController();
        auto forward = ring.onActivate;
        ring.onActivate = [&](const std::optional<RingItem> &item) {
            ++activations;
            forward(item);
        };
        f.environment->handleHotkeyPress(std::nullopt);
        QVERIFY(ring.isVisible());
        f.environment->handleHotkeyPress(std::nullopt);
        QVERIFY(!ring.isVisible());
        QCOMPARE(activations, 0); // a toggle hides without choosing
    }

    // The hotkey recorder holds the keyboard: a long right-click or the menu
    // leaves the ring shut, so the ring's grab and release cannot end the
    // recorder's.
    void aLongRightClickWaitsWhileAnotherWindowHoldsTheKeyboard()
    {
        Fixture f;
        f.fakes.permission->trusted = true;
        f.edit([](VimaConfig &c) { c.pointerTrigger.enabled = true; });
        RingWindowController &ring = f.environment->ringController();
        const auto longPress = [&] {
            f.fakes.pointerTap->send(PointerEventTap::EventType::rightMouseDown, {300, 300});
            f.scheduler.advance(0.25);
        };
        f.fakes.keyboard->grab(7);
        longPress();
        QVERIFY(!ring.isVisible());
        QVERIFY(!f.fakes.pointerTap->send(PointerEventTap::EventType::rightMouseUp, {300, 300}));
        QVERIFY(f.fakes.keyboard->isGrabbed());
        f.environment->toggleRing(false); // the menu's "open"
        QVERIFY(!ring.isVisible());

        f.fakes.keyboard->release();
        longPress();
        QVERIFY(ring.isVisible());
        // The ring's own grab does not hold its own trigger back.
        f.fakes.pointerTap->send(PointerEventTap::EventType::rightMouseUp, {300, 300});
        longPress();
        QVERIFY(!ring.isVisible());
    }

    void withoutPreviousApplicationTheRingHasNoContext()
    {
        Fixture f;
        f.environment->handleHotkeyPress(std::nullopt);
        QVERIFY(!f.environment->ringController().viewModel().contextApp());
    }

    void chosenItemRunsAgainstThePreviousApplication()
    {
        Fixture f;
        const RunningApplication editor{4242, QStringLiteral("org.example.Editor"), QStringLiteral("Editor")};
        f.fakes.activeApplications->activate(editor);
        QString failure;
        f.environment->actionRunner().present = [&](const ActionOutcome &) { failure = QStringLiteral("shown"); };
        const RingItem item{QUuid::createUuid(), QStringLiteral("Open"), IconSpec::symbol(QStringLiteral("link")), 0,
                            ItemAction{OpenPayload{QStringLiteral("https://example.org/")}}};
        f.environment->handleHotkeyPress(std::nullopt);
        f.environment->ringController().viewModel().activate(item);
        QTRY_COMPARE(f.fakes.opener->opened, QList<QUrl>{QUrl(QStringLiteral("https://example.org/"))});
        QVERIFY(failure.isEmpty());
    }

    // From whatever application has the keyboard, and only while an action runs.
    void escapeCancelsTheRunningAction()
    {
        Fixture f;
        const auto escapes = [&f] {
            QList<FakeHotKeyRegistrar::Key> keys = f.fakes.hotKeys->registeredKeys();
            keys.removeIf([](const FakeHotKeyRegistrar::Key &key) { return key.keyCode != keys::escape; });
            return keys;
        };
        QVERIFY(escapes().isEmpty());
        const RingItem item{QUuid::createUuid(), QStringLiteral("Wait"), IconSpec::symbol(QStringLiteral("clock")), 0,
                            ItemAction{ShellPayload{QStringLiteral("sleep 30"), QStringLiteral("/bin/sh"), false}}};
        f.environment->actionRunner().run(item, std::nullopt);
        QTRY_COMPARE(escapes().size(), 1);
        QCOMPARE(escapes().first().modifierFlags, 0u);
        QCOMPARE(f.fakes.hotKeys->deliver({escapes().first().id, HotKeyEvent::pressed, std::nullopt}),
                 HotKeyRegistrar::noErr);
        QTRY_VERIFY(!f.environment->actionRunner().busyMessage());
        QVERIFY(escapes().isEmpty());
    }

    // The runner's "open the settings" reaches the delegate's own centre.
    void actionsPostOnTheInjectedCenter()
    {
        Fixture f;
        int opened = 0;
        f.notifications.observe(notifications::openSettings, [&](const QVariant &) { ++opened; });
        f.environment->actionRunner().postOpenSettings();
        QCOMPARE(opened, 1);
    }

    void notificationsOpenTheSettings_data()
    {
        QTest::addColumn<QVariant>("object");
        QTest::addColumn<int>("tab");
        QTest::newRow("ai") << QVariant(QStringLiteral("ai")) << 2;
        QTest::newRow("permissions") << QVariant(QStringLiteral("permissions")) << 3;
        QTest::newRow("no object") << QVariant() << 0;
        QTest::newRow("a number") << QVariant(2) << 0;
        QTest::newRow("no such tab") << QVariant(QStringLiteral("advanced")) << 0;
    }

    void notificationsOpenTheSettings()
    {
        QFETCH(QVariant, object);
        QFETCH(int, tab);
        Fixture f(false);
        NotificationCenter center;
        AppDelegate delegate(f.fakes.platform, f.dir.path(), f.scheduler, center);
        delegate.applicationDidFinishLaunching();
        center.post(QStringLiteral("com.vima.Vima.openSettings"), object);
        QVERIFY(delegate.settingsController());
        QCOMPARE(delegate.settingsController()->window()->tabs()->currentIndex(), tab);
        QVERIFY(delegate.applicationShouldHandleReopen());
        delegate.applicationWillTerminate();
    }

    void firstLaunchShowsOnboardingOnce()
    {
        Fixture f(false);
        NotificationCenter center;
        {
            AppDelegate first(f.fakes.platform, f.dir.path(), f.scheduler, center);
            first.applicationDidFinishLaunching();
            QVERIFY(first.onboardingController());
            QVERIFY(!first.onboardingController()->window()->model().asksBeforeReplacing());
            first.applicationWillTerminate();
        }
        AppDelegate second(f.fakes.platform, f.dir.path(), f.scheduler, center);
        second.applicationDidFinishLaunching();
        QVERIFY(!second.onboardingController());
        center.post(QStringLiteral("com.vima.Vima.showOnboarding"));
        QVERIFY(second.onboardingController());
        QVERIFY(second.onboardingController()->window()->model().asksBeforeReplacing());
    }

    // The tray says "unavailable" for both; only a refusal reads as taken by another application.
    void hotkeyFailureReachesTheWindows_data()
    {
        QTest::addColumn<quint32>("modifiers");
        QTest::addColumn<bool>("heldElsewhere");
        QTest::addColumn<bool>("failed");
        QTest::addColumn<bool>("taken");
        QTest::newRow("no modifier") << 0u << false << true << false;
        QTest::newRow("refused") << quint32(HotkeySpec::control) << true << true << true;
        QTest::newRow("registered") << quint32(HotkeySpec::option) << false << false << false;
    }

    void hotkeyFailureReachesTheWindows()
    {
        QFETCH(quint32, modifiers);
        QFETCH(bool, heldElsewhere);
        QFETCH(bool, failed);
        QFETCH(bool, taken);
        Fixture f(false);
        if (heldElsewhere)
            f.fakes.hotKeys->heldElsewhere.append({keyF5, modifiers});
        NotificationCenter center;
        AppDelegate delegate(f.fakes.platform, f.dir.path(), f.scheduler, center);
        delegate.applicationDidFinishLaunching();
        QVERIFY(delegate.onboardingController());
        const OnboardingModel &onboarding = delegate.onboardingController()->window()->model();
        ConfigStore &store = delegate.environment()->configStore();
        // From a refused hotkey, so each row also proves the flag follows a change.
        f.fakes.hotKeys->heldElsewhere.append({keyF5, HotkeySpec::shift});
        VimaConfig config = store.config();
        config.hotkey = HotkeySpec{keyF5, HotkeySpec::shift};
        store.setConfig(config);
        QVERIFY(onboarding.hotkeyTaken());
        config.hotkey = HotkeySpec{keyF5, modifiers};
        store.setConfig(config);
        QCOMPARE(delegate.environment()->hotkeyRegistrationFailed(), failed);
        QCOMPARE(onboarding.hotkeyTaken(), taken);
        delegate.applicationWillTerminate();
    }

    void quittingLeavesAnUnreadableFileAlone()
    {
        Fixture f(false);
        QFile file(f.dir.filePath(QStringLiteral("config.json")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        VimaConfig config = ConfigStore::makeDefaultConfig();
        config.version = 7; // well-formed in every other way
        const QByteArray newer = ConfigStore::encode(config);
        file.write(newer);
        file.close();
        NotificationCenter center;
        AppDelegate delegate(f.fakes.platform, f.dir.path(), f.scheduler, center);
        delegate.applicationDidFinishLaunching();
        QVERIFY(delegate.environment()->configStore().lastError().value_or(QString()).contains(
            QStringLiteral("newer version of Tavelon (format 7)")));
        delegate.applicationWillTerminate();
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), newer);
    }
};

QTEST_MAIN(TestAppEnvironment)
#include "tst_appenvironment.moc"
