#include "SupportProgram.h"
#include "platform/x11/X11HotKeyProbe.h"
#include "platform/x11/X11HotKeyRegistrar.h"
#include "platform/x11/X11KeyEventCodes.h"
#include "services/HotkeyManager.h"
#include "services/SystemShortcuts.h"

#include <QApplication>
#include <QKeyEvent>
#include <QScopeGuard>
#include <QTest>
#include <QWidget>
#include <xcb/xcb.h>

using namespace vima;

namespace {

constexpr quint32 k = 40;
constexpr xcb_keycode_t kKeycode = 45;

QString mask(uint16_t modifiers) { return QString::number(modifiers); }

int xdotool(const QStringList &arguments) { return SupportProgram::run(QStringLiteral("xdotool"), arguments); }

// Key codes and modifiers of the key presses it receives.
class KeyCatcher : public QWidget {
public:
    QList<HotkeySpec> keys;

protected:
    void keyPressEvent(QKeyEvent *event) override
    {
        const X11KeyEventCodes codes;
        keys.append({codes.keyCode(*event).value_or(0xFFFF), codes.modifierFlags(*event)});
    }
};

} // namespace

class TestReservationE2E : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void aCombinationAnotherProgramHoldsIsReservedOursIsNot()
    {
        SupportProgram other(QStringLiteral("grab_key"),
                             {QString::number(kKeycode), mask(XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_SHIFT)});
        QCOMPARE(other.nextLine(), QStringLiteral("grabbed"));
        X11HotKeyRegistrar registrar;
        HotkeyManager manager(registrar);
        const X11HotKeyProbe probe(registrar);
        const SystemShortcuts shortcuts(probe);

        const auto held = shortcuts.reservation(k, HotkeySpec::control | HotkeySpec::shift);
        QVERIFY(held);
        QCOMPARE(held->name, QStringLiteral("Another program has grabbed Ctrl+Shift+K."));

        // A free combination is given back at once: another program can take it.
        QVERIFY(!shortcuts.reservation(k, HotkeySpec::option | HotkeySpec::shift));
        SupportProgram later(QStringLiteral("grab_key"),
                             {QString::number(kKeycode), mask(XCB_MOD_MASK_1 | XCB_MOD_MASK_SHIFT)});
        QCOMPARE(later.nextLine(), QStringLiteral("grabbed"));

        // Our own hotkey is free, and asking leaves it held.
        QVERIFY(manager.registerHotkey(k, HotkeySpec::control | HotkeySpec::option));
        QVERIFY(!shortcuts.reservation(k, HotkeySpec::control | HotkeySpec::option));
        SupportProgram third(QStringLiteral("grab_key"),
                             {QString::number(kKeycode), mask(XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1)});
        QCOMPARE(third.nextLine(), QStringLiteral("refused 10"));
    }

    void aKeyEventNamesThePhysicalKeyOnAnyLayout()
    {
        QCOMPARE(SupportProgram::run(QStringLiteral("setxkbmap"), {"de"}), 0);
        const auto restore = qScopeGuard([] { SupportProgram::run(QStringLiteral("setxkbmap"), {"us"}); });
        KeyCatcher catcher;
        catcher.setGeometry(100, 100, 200, 200);
        catcher.show();
        catcher.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&catcher));
        // German Z sits where US keyboards have Y.
        QCOMPARE(xdotool({"key", "ctrl+z"}), 0);
        QTRY_COMPARE(catcher.keys.size(), 2);
        QCOMPARE(catcher.keys.at(0), (HotkeySpec{59, HotkeySpec::control}));
        QCOMPARE(catcher.keys.at(1), (HotkeySpec{16, HotkeySpec::control}));
    }
};

QTEST_MAIN(TestReservationE2E)
#include "e2e_reservation.moc"
