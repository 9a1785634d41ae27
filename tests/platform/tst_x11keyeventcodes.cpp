#include "model/Settings.h"
#include "platform/x11/X11KeyEventCodes.h"

#include <QKeyEvent>
#include <QTest>
#include <xcb/xproto.h>

using namespace vima;

// Key events as Qt builds them from X: the keycode as native scan code, the
// X state before the event as native modifiers.
class TestX11KeyEventCodes : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void modifiersAfterTheEvent_data()
    {
        QTest::addColumn<bool>("press");
        QTest::addColumn<int>("key");
        QTest::addColumn<quint32>("keycode");
        QTest::addColumn<quint32>("state");
        QTest::addColumn<quint64>("flags");

        QTest::newRow("Alt pressed") << true << int(Qt::Key_Alt) << 64u << 0u << HotkeySpec::option;
        QTest::newRow("Alt let go") << false << int(Qt::Key_Alt) << 64u << quint32(XCB_MOD_MASK_1) << quint64(0);
        // With Shift held, US layouts type Meta_L on the Alt key.
        QTest::newRow("Alt after Shift") << true << int(Qt::Key_Meta) << 64u << quint32(XCB_MOD_MASK_SHIFT)
                                         << (HotkeySpec::shift | HotkeySpec::option);
        QTest::newRow("right Super") << true << int(Qt::Key_Super_R) << 134u << 0u << HotkeySpec::command;
        QTest::newRow("AltGr holds no Option") << true << int(Qt::Key_AltGr) << 108u << 0u << quint64(0);
        QTest::newRow("locks never count")
            << true << int(Qt::Key_K) << 45u
            << quint32(XCB_MOD_MASK_LOCK | XCB_MOD_MASK_2 | XCB_MOD_MASK_CONTROL) << HotkeySpec::control;
        QTest::newRow("Super and Shift") << true << int(Qt::Key_K) << 45u
                                         << quint32(XCB_MOD_MASK_4 | XCB_MOD_MASK_SHIFT)
                                         << (HotkeySpec::command | HotkeySpec::shift);
    }

    void modifiersAfterTheEvent()
    {
        QFETCH(bool, press);
        QFETCH(int, key);
        QFETCH(quint32, keycode);
        QFETCH(quint32, state);
        const QKeyEvent event(press ? QEvent::KeyPress : QEvent::KeyRelease, key, Qt::NoModifier, keycode, 0,
                              state);
        QTEST(X11KeyEventCodes().modifierFlags(event), "flags");
    }

    void keyCodesFromTheScanCode()
    {
        const X11KeyEventCodes codes;
        const auto event = [](quint32 scanCode) {
            return QKeyEvent(QEvent::KeyPress, Qt::Key_Z, Qt::NoModifier, scanCode, 0, 0);
        };
        QCOMPARE(codes.keyCode(event(29)), std::optional<quint32>(16)); // Z on a German layout: US Y
        QCOMPARE(codes.keyCode(event(0)), std::nullopt);                // made without a window system
        QCOMPARE(codes.keyCode(event(300)), std::nullopt);
    }
};

QTEST_GUILESS_MAIN(TestX11KeyEventCodes)
#include "tst_x11keyeventcodes.moc"
