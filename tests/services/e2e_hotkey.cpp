#include "SupportProgram.h"
#include "TextTargetClient.h"
#include "platform/x11/X11KeyboardGrab.h"
#include "platform/x11/X11HotKeyRegistrar.h"
#include "services/HotkeyManager.h"

#include <QAbstractNativeEventFilter>
#include <QApplication>
#include <QProcess>
#include <QTest>
#include <QThread>
#include <QWidget>
#include <xcb/xcb.h>

using namespace vima;

namespace {

constexpr quint32 space = 49;
constexpr xcb_keycode_t spaceKeycode = 65;
constexpr uint16_t altMask = XCB_MOD_MASK_1;
constexpr uint16_t numLockMask = XCB_MOD_MASK_2; // where Xvfb's keymap puts Num Lock

// Counts the key presses of Space that reach the root window, auto-repeat
// included; installed after the registrar, so it sees them first.
// The hotkey Option-Space registered for real, counting what it reports.
struct CountingHotkey {
    X11HotKeyRegistrar registrar;
    HotkeyManager manager{registrar};
    int pressed = 0;
    int released = 0;
    std::optional<QPointF> pointer; // of the last press

    CountingHotkey()
    {
        manager.onPressed = [this](std::optional<QPointF> at) {
            ++pressed;
            pointer = at;
        };
        manager.onReleased = [this] { ++released; };
    }
};

class PressCounter : public QAbstractNativeEventFilter {
public:
    PressCounter() { QCoreApplication::instance()->installNativeEventFilter(this); }
    ~PressCounter() override { QCoreApplication::instance()->removeNativeEventFilter(this); }

    bool nativeEventFilter(const QByteArray &, void *message, qintptr *) override
    {
        const auto *event = static_cast<const xcb_key_press_event_t *>(message);
        if ((event->response_type & 0x7f) == XCB_KEY_PRESS && event->detail == spaceKeycode) {
            ++presses;
            lastState = event->state;
            lastWindow = event->event;
        }
        return false;
    }

    int presses = 0;
    uint16_t lastState = 0;
    xcb_window_t lastWindow = XCB_NONE;
};

int xdotool(const QStringList &arguments) { return SupportProgram::run(QStringLiteral("xdotool"), arguments); }

qint64 activeWindowPid()
{
    QProcess xdotool;
    xdotool.start(QStringLiteral("xdotool"), {"getactivewindow", "getwindowpid"});
    xdotool.waitForFinished(5000);
    bool ok = false;
    const qint64 pid = xdotool.readAllStandardOutput().trimmed().toLongLong(&ok);
    return ok ? pid : -1;
}

} // namespace

class TestHotkeyE2E : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void holdingGivesOnePressAndOneRelease_data()
    {
        QTest::addColumn<bool>("numLock");
        QTest::newRow("plain") << false;
        QTest::newRow("num lock on") << true;
    }

    void holdingGivesOnePressAndOneRelease()
    {
        QFETCH(bool, numLock);
        CountingHotkey hotkey;
        QVERIFY(hotkey.manager.registerHotkey(space, HotkeySpec::option));
        PressCounter counter;
        if (numLock)
            QCOMPARE(xdotool({"key", "Num_Lock"}), 0);
        QCOMPARE(xdotool({"mousemove", "123", "234"}), 0);

        QCOMPARE(xdotool({"keydown", "alt+space"}), 0);
        QTRY_COMPARE(hotkey.pressed, 1);
        QCOMPARE(hotkey.pointer, QPointF(123, 234));
        // Held past the auto-repeat delay: the server presses Space again and
        // again, on its own timer, which a busy machine may run late.
        QTRY_VERIFY_WITH_TIMEOUT(counter.presses >= 4, 15000);
        QCOMPARE(hotkey.pressed, 1);
        QCOMPARE(hotkey.released, 0);
        QCOMPARE(bool(counter.lastState & numLockMask), numLock);

        QCOMPARE(xdotool({"keyup", "space", "alt"}), 0);
        QTRY_COMPARE(hotkey.released, 1);
        QTest::qWait(100);
        QCOMPARE(hotkey.released, 1);
        QCOMPARE(hotkey.pressed, 1);
        if (numLock)
            QCOMPARE(xdotool({"key", "Num_Lock"}), 0);
    }

    void aHoldReadLateGivesOnePressAndOneRelease()
    {
        CountingHotkey hotkey;
        QVERIFY(hotkey.manager.registerHotkey(space, HotkeySpec::option));
        PressCounter counter;

        // The GUI thread is busy while the key repeats and is let go: the
        // repeats' releases are read when the key is already up.
        QVERIFY(QProcess::startDetached(QStringLiteral("xdotool"),
                                        {"keydown", "alt+space", "sleep", "2", "keyup", "space", "alt"}));
        QThread::msleep(3500);
        QTRY_COMPARE(hotkey.released, 1);
        QVERIFY(counter.presses >= 2);
        QTest::qWait(100);
        QCOMPARE(hotkey.pressed, 1);
        QCOMPARE(hotkey.released, 1);
    }

    void aWindowThatTakesTheKeyboardDuringTheHoldStillEndsIt()
    {
        X11HotKeyRegistrar registrar;
        HotkeyManager manager(registrar);
        QWidget ring;
        ring.setGeometry(100, 100, 200, 200);
        ring.show();
        QVERIFY(QTest::qWaitForWindowExposed(&ring));
        auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
        int pressed = 0, released = 0;
        std::optional<uint8_t> grabStatus;
        // As the ring does when the hotkey opens it.
        manager.onPressed = [&](std::optional<QPointF>) {
            ++pressed;
            xcb_connection_t *c = x11->connection();
            std::unique_ptr<xcb_grab_keyboard_reply_t, void (*)(void *)> reply(
                xcb_grab_keyboard_reply(c,
                                        xcb_grab_keyboard(c, 0, static_cast<xcb_window_t>(ring.winId()),
                                                          XCB_CURRENT_TIME, XCB_GRAB_MODE_ASYNC,
                                                          XCB_GRAB_MODE_ASYNC),
                                        nullptr),
                &std::free);
            grabStatus = reply ? reply->status : 0xff;
        };
        manager.onReleased = [&] { ++released; };
        QVERIFY(manager.registerHotkey(space, HotkeySpec::option));
        PressCounter counter;

        QCOMPARE(xdotool({"keydown", "alt+space"}), 0);
        QTRY_COMPARE(pressed, 1);
        QCOMPARE(grabStatus, uint8_t(XCB_GRAB_STATUS_SUCCESS));
        QTRY_VERIFY_WITH_TIMEOUT(counter.presses >= 4, 15000);
        QCOMPARE(counter.lastWindow, static_cast<xcb_window_t>(ring.winId()));
        QCOMPARE(pressed, 1);
        QCOMPARE(released, 0);
        QCOMPARE(xdotool({"keyup", "space", "alt"}), 0);
        QTRY_COMPARE(released, 1);
        xcb_ungrab_keyboard(x11->connection(), XCB_CURRENT_TIME);
        xcb_flush(x11->connection());
    }

    // The keyboard is held from the hotkey's press until its handlers have
    // run; a handler that takes nothing gives it back.
    void aHotkeyThatOpensNothingLeavesTheKeyboardToTheApplication()
    {
        SupportProgram target(QStringLiteral("text_target"), {});
        QVERIFY(target.waitForLine(QStringLiteral("ready ")).startsWith(QStringLiteral("ready ")));
        X11KeyboardGrab keyboard;
        X11HotKeyRegistrar registrar(&keyboard);
        HotkeyManager manager(registrar);
        int pressed = 0;
        int released = 0;
        manager.onPressed = [&](std::optional<QPointF>) { ++pressed; };
        manager.onReleased = [&] { ++released; };
        QVERIFY(manager.registerHotkey(space, HotkeySpec::option));
        text_target::command(target, "activate");
        QTRY_COMPARE(activeWindowPid(), target.pid());

        QCOMPARE(xdotool({"keydown", "alt", "keydown", "space"}), 0);
        QTRY_COMPARE(pressed, 1);
        QCOMPARE(xdotool({"keyup", "space", "keyup", "alt"}), 0);
        QTRY_COMPARE(released, 1);
        QCOMPARE(xdotool({"type", "ok"}), 0);
        QTRY_COMPARE(text_target::text(target), QStringLiteral("ok"));
    }

    void aCombinationAnotherClientHoldsIsRefused()
    {
        // Another client holds Alt+Space only with Caps Lock on: the grabs
        // made before the refused one must be given back.
        SupportProgram holder(QStringLiteral("grab_key"),
                              {QString::number(spaceKeycode), QString::number(altMask | XCB_MOD_MASK_LOCK)});
        QCOMPARE(holder.nextLine(), QStringLiteral("grabbed"));
        X11HotKeyRegistrar registrar;
        HotkeyManager manager(registrar);
        QTest::ignoreMessage(QtCriticalMsg, "XGrabKey refused Alt+Space: another program holds it");
        QVERIFY(!manager.registerHotkey(space, HotkeySpec::option));

        SupportProgram other(QStringLiteral("grab_key"), {QString::number(spaceKeycode), QString::number(altMask)});
        QCOMPARE(other.nextLine(), QStringLiteral("grabbed"));
        SupportProgram third(QStringLiteral("grab_key"), {QString::number(spaceKeycode), QString::number(altMask)});
        QCOMPARE(third.nextLine(), QStringLiteral("refused 10"));
    }

    void aModifierMapChangeIsGrabbedAgain()
    {
        CountingHotkey hotkey;
        QVERIFY(hotkey.manager.registerHotkey(space, HotkeySpec::option));
        // Num Lock moves from Mod2 to Mod3: only grabs made anew cover it.
        const QString moveNumLock = QStringLiteral(
            "xkbcomp -w0 \"$DISPLAY\" - | sed 's/modifier_map Mod2 { <NMLK> }/modifier_map Mod3 { <NMLK> }/'"
            " | xkbcomp -w0 - \"$DISPLAY\"");
        QCOMPARE(SupportProgram::run(QStringLiteral("sh"), {"-c", moveNumLock}), 0);
        PressCounter counter;
        QCOMPARE(xdotool({"key", "Num_Lock"}), 0);

        QCOMPARE(xdotool({"keydown", "alt+space"}), 0);
        QTRY_COMPARE(hotkey.pressed, 1);
        QCOMPARE(counter.lastState & XCB_MOD_MASK_3, XCB_MOD_MASK_3);
        QCOMPARE(xdotool({"keyup", "space", "alt"}), 0);
        QTRY_COMPARE(hotkey.released, 1);
        QCOMPARE(xdotool({"key", "Num_Lock"}), 0);
    }

    void keyNamesComeFromTheLayout()
    {
        X11HotKeyRegistrar registrar;
        HotkeyManager manager(registrar);
        QCOMPARE(HotkeyManager::keyName(0), QStringLiteral("A"));
        QCOMPARE(HotkeyManager::keyName(50), QStringLiteral("`"));
        QCOMPARE(HotkeyManager::displayName(40, HotkeySpec::shift | HotkeySpec::command),
                 QStringLiteral("Shift+Super+K"));
        // Volume Up types nothing: no name from the layout.
        QCOMPARE(HotkeyManager::keyName(72), QStringLiteral("Key 72"));
    }
};

QTEST_MAIN(TestHotkeyE2E)
#include "e2e_hotkey.moc"
