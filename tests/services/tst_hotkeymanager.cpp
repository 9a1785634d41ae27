#include "platform/fake/FakeHotKeyRegistrar.h"
#include "services/HotkeyManager.h"

#include <QTest>

using namespace vima;

namespace {

constexpr quint32 space = 49;
constexpr quint64 option = HotkeySpec::option;
constexpr quint64 control = HotkeySpec::control;

HotKeyEvent ours(quint32 kind) { return {{HotkeyManager::signature, HotkeyManager::hotKeyNumber}, kind, std::nullopt}; }

// Nothing is live, so the old combination registers anew; the last check of a test.
void expectRegistersAnew(FakeHotKeyRegistrar &system, HotkeyManager &manager, int registerCalls)
{
    QVERIFY(system.registeredKeys().isEmpty());
    QVERIFY(!manager.registered());
    QVERIFY(manager.registerHotkey(space, option));
    QCOMPARE(system.registerCalls, registerCalls);
}

} // namespace

class TestHotkeyManager : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void registeringTheSameCombinationTwiceTouchesTheSystemOnce()
    {
        FakeHotKeyRegistrar system;
        HotkeyManager manager(system);
        QVERIFY(manager.registerHotkey(space, option));
        QVERIFY(manager.registerHotkey(space, option));
        QCOMPARE(system.registerCalls, 1);
        QCOMPARE(system.unregisterCalls, 0);
        const FakeHotKeyRegistrar::Key key{space, option, {HotkeyManager::signature, 1}};
        QCOMPARE(system.registeredKeys(), QList{key});
        QCOMPARE(manager.registered(), (HotkeySpec{space, option}));
    }

    void changingTheCombinationReplacesTheOldOne()
    {
        FakeHotKeyRegistrar system;
        HotkeyManager manager(system);
        QVERIFY(manager.registerHotkey(space, option));
        QVERIFY(manager.registerHotkey(space, control));
        QCOMPARE(system.unregisterCalls, 1);
        QCOMPARE(system.registeredKeys().size(), 1);
        QCOMPARE(system.registeredKeys().first().modifierFlags, control);
    }

    void aRefusedChangeLeavesNoHotkey()
    {
        FakeHotKeyRegistrar system;
        system.heldElsewhere = {{space, control}};
        HotkeyManager manager(system);
        QVERIFY(manager.registerHotkey(space, option));
        QVERIFY(!manager.registerHotkey(space, control));
        expectRegistersAnew(system, manager, 3);
    }

    void unregisterForgetsTheCombination()
    {
        FakeHotKeyRegistrar system;
        HotkeyManager manager(system);
        manager.unregister();
        QCOMPARE(system.unregisterCalls, 0);
        QVERIFY(manager.registerHotkey(space, option));
        manager.unregister();
        expectRegistersAnew(system, manager, 2);
    }

    void endingTheManagerRemovesItsKeyAndHandler()
    {
        FakeHotKeyRegistrar system;
        {
            HotkeyManager manager(system);
            QVERIFY(manager.registerHotkey(space, option));
            QCOMPARE(system.handlerCount(), 1);
        }
        QVERIFY(system.registeredKeys().isEmpty());
        QCOMPARE(system.handlerCount(), 0);
        QCOMPARE(HotkeyManager::current(), nullptr);
    }

    void eventsReachTheirCallbackInALaterTurn()
    {
        FakeHotKeyRegistrar system;
        HotkeyManager manager(system);
        int pressed = 0, released = 0;
        std::optional<QPointF> pointer;
        manager.onPressed = [&](std::optional<QPointF> at) {
            ++pressed;
            pointer = at;
        };
        manager.onReleased = [&] { ++released; };

        HotKeyEvent press = ours(HotKeyEvent::pressed);
        press.pointer = QPointF(310, 42);
        QCOMPARE(system.deliver(press), HotKeyRegistrar::noErr);
        QCOMPARE(pressed, 0);
        QTRY_COMPARE(pressed, 1);
        QCOMPARE(pointer, QPointF(310, 42)); // where it was, not where it is now
        QCOMPARE(released, 0);

        QCOMPARE(system.deliver(ours(HotKeyEvent::released)), HotKeyRegistrar::noErr);
        QTRY_COMPARE(released, 1);
        QCOMPARE(pressed, 1);
    }

    void eventsOfAnotherOwnerAreLeftAlone()
    {
        FakeHotKeyRegistrar system;
        HotkeyManager manager(system);
        int calls = 0;
        manager.onPressed = [&](std::optional<QPointF>) { ++calls; };
        manager.onReleased = [&] { ++calls; };
        const HotKeyEvent foreign{{0x41424344, HotkeyManager::hotKeyNumber}, HotKeyEvent::pressed, std::nullopt};
        QCOMPARE(system.deliver(foreign), HotKeyRegistrar::eventNotHandled);
        // Another kind of event is taken but calls nothing.
        QCOMPARE(system.deliver(ours(9)), HotKeyRegistrar::noErr);
        QCoreApplication::processEvents();
        QCOMPARE(calls, 0);
    }

    void eventsGoToTheNewestManager()
    {
        FakeHotKeyRegistrar system;
        HotkeyManager first(system);
        int firstCalls = 0, secondCalls = 0;
        first.onPressed = [&](std::optional<QPointF>) { ++firstCalls; };
        {
            HotkeyManager second(system);
            second.onPressed = [&](std::optional<QPointF>) { ++secondCalls; };
            system.deliver(ours(HotKeyEvent::pressed));
            QTRY_COMPARE(secondCalls, 1);
            // Once the event is queued, a manager that ends takes it along.
            system.deliver(ours(HotKeyEvent::pressed));
        }
        QCoreApplication::processEvents();
        QCOMPARE(secondCalls, 1);
        QCOMPARE(firstCalls, 0);
    }

    void aHandlerThatCannotBeInstalledIsLogged()
    {
        FakeHotKeyRegistrar system;
        system.installStatus = -50;
        QTest::ignoreMessage(QtCriticalMsg, "Could not install the hotkey handler (-50): no hotkey will arrive");
        HotkeyManager manager(system);
        QVERIFY(manager.registerHotkey(space, option));
    }

    void displayNames_data()
    {
        QTest::addColumn<quint32>("keyCode");
        QTest::addColumn<quint64>("flags");
        QTest::addColumn<QString>("expected");
        const quint64 shift = 0x20000, control = 0x40000, alt = 0x80000, super = 0x100000;
        QTest::newRow("Alt") << 49u << alt << QStringLiteral("Alt+Space");
        QTest::newRow("Shift Super") << 40u << (shift | super) << QStringLiteral("Shift+Super+K");
        QTest::newRow("order Ctrl Alt Super") << 49u << (super | alt | control) << QStringLiteral("Ctrl+Alt+Super+Space");
        QTest::newRow("all four") << 36u << quint64(0x1E0000) << QStringLiteral("Ctrl+Alt+Shift+Super+Return");
        QTest::newRow("caps lock bit shows nothing") << 122u << quint64(0x10000) << QStringLiteral("F1");
        QTest::newRow("Return from the table, not the layout") << 36u << quint64(0) << QStringLiteral("Return");
        QTest::newRow("Esc") << 53u << control << QStringLiteral("Ctrl+Esc");
        QTest::newRow("Page Down") << 121u << alt << QStringLiteral("Alt+Page Down");
        QTest::newRow("arrow") << 123u << super << QStringLiteral("Super+Left");
        QTest::newRow("F13") << 105u << control << QStringLiteral("Ctrl+F13");
        QTest::newRow("F20") << 90u << shift << QStringLiteral("Shift+F20");
        QTest::newRow("F24") << 259u << quint64(0) << QStringLiteral("F24");
        QTest::newRow("letter from the layout") << 0u << quint64(0) << QStringLiteral("A");
        QTest::newRow("non-letter from the layout") << 50u << control << QStringLiteral("Ctrl+`");
        QTest::newRow("nothing in the layout") << 200u << quint64(0) << QStringLiteral("Key 200");
        QTest::newRow("beyond 16 bits") << 65536u << quint64(0) << QStringLiteral("Key 65536");
    }

    void displayNames()
    {
        QFETCH(quint32, keyCode);
        QFETCH(quint64, flags);
        QFETCH(QString, expected);
        FakeHotKeyRegistrar system;
        // 65536 cut to 16 bits would read key 0's "a".
        system.layout = {{0, QStringLiteral("a")}, {40, QStringLiteral("k")}, {50, QStringLiteral("`")},
                         {36, QStringLiteral("\r")}};
        HotkeyManager manager(system);
        QCOMPARE(HotkeyManager::displayName(keyCode, flags), expected);
    }

    void keyNamesWithoutAManagerFallBack()
    {
        QCOMPARE(HotkeyManager::keyName(0), QStringLiteral("Key 0"));
        QCOMPARE(HotkeyManager::keyName(121), QStringLiteral("Page Down"));
    }
};

QTEST_GUILESS_MAIN(TestHotkeyManager)
#include "tst_hotkeymanager.moc"
