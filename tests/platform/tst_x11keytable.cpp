#include "model/Settings.h"
#include "platform/x11/X11KeyTable.h"

#include <QTest>

using namespace vima;

// X keycodes of the standard evdev keymap, which every X server on Linux uses.
class TestX11KeyTable : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void physicalKeys_data()
    {
        QTest::addColumn<quint32>("keyCode");
        QTest::addColumn<int>("x11");
        QTest::newRow("A") << 0u << 38;
        QTest::newRow("Z") << 6u << 52;
        QTest::newRow("Q") << 12u << 24;
        QTest::newRow("K") << 40u << 45;
        QTest::newRow("1") << 18u << 10;
        QTest::newRow("0") << 29u << 19;
        QTest::newRow("Return") << 36u << 36;
        QTest::newRow("Tab") << 48u << 23;
        QTest::newRow("Space") << 49u << 65;
        QTest::newRow("grave") << 50u << 49;
        QTest::newRow("Backspace") << 51u << 22;
        QTest::newRow("Escape") << 53u << 9;
        QTest::newRow("F1") << 122u << 67;
        QTest::newRow("F12") << 111u << 96;
        QTest::newRow("F13") << 105u << 191;
        QTest::newRow("F20") << 90u << 198;
        QTest::newRow("F21") << quint32(keys::functionKeys[20]) << 199;
        QTest::newRow("F24") << quint32(keys::functionKeys[23]) << 202;
        QTest::newRow("Home") << 115u << 110;
        QTest::newRow("Delete") << 117u << 119;
        QTest::newRow("Left") << 123u << 113;
        QTest::newRow("Up") << 126u << 111;
        QTest::newRow("keypad Enter") << 76u << 104;
        QTest::newRow("left Command is Super") << 55u << 133;
    }

    void physicalKeys()
    {
        QFETCH(quint32, keyCode);
        QFETCH(int, x11);
        QCOMPARE(x11::keycode(keyCode), std::optional<xcb_keycode_t>(x11));
        QCOMPARE(x11::keyCode(static_cast<xcb_keycode_t>(x11)), std::optional(keyCode));
    }

    void everyKeyMapsBackToItself()
    {
        int keys = 0;
        for (quint32 code = 0; code < 512; ++code) {
            if (const auto x = x11::keycode(code)) {
                QCOMPARE(x11::keyCode(*x), std::optional(code));
                ++keys;
            }
        }
        QVERIFY(keys > 100);
        for (int x = 0; x < 256; ++x) {
            if (const auto code = x11::keyCode(static_cast<xcb_keycode_t>(x)))
                QCOMPARE(x11::keycode(*code), std::optional(static_cast<xcb_keycode_t>(x)));
        }
    }

    void keycodesWithoutAKey()
    {
        QCOMPARE(x11::keyCode(0), std::nullopt); // below the evdev offset
        QCOMPARE(x11::keyCode(7), std::nullopt);
        QCOMPARE(x11::keyCode(255), std::nullopt);
    }

    void keysAPcLacks()
    {
        QCOMPARE(x11::keycode(63), std::nullopt); // Function
        QCOMPARE(x11::keycode(65536), std::nullopt);
    }

    void modifiers()
    {
        QCOMPARE(x11::modifierMask(HotkeySpec::option), XCB_MOD_MASK_1);
        QCOMPARE(x11::modifierMask(HotkeySpec::command), XCB_MOD_MASK_4);
        QCOMPARE(x11::modifierMask(0x1E0000), XCB_MOD_MASK_SHIFT | XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1
                                                   | XCB_MOD_MASK_4);
        // Caps lock and the function key have no part in a grab.
        QCOMPARE(x11::modifierMask(0x810000), 0);
    }
};

QTEST_GUILESS_MAIN(TestX11KeyTable)
#include "tst_x11keytable.moc"
