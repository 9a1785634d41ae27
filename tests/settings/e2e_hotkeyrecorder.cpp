// The hotkey recorder on a real X server, fed by xdotool as a keyboard would.
#include "SettingsHarness.h"
#include "SupportProgram.h"

#include "app/AppEnvironment.h"
#include "app/LinuxPlatform.h"
#include "platform/KeyboardGrab.h"
#include "ring/RingWindowController.h"
#include "services/HotkeyManager.h"
#include "services/PointerTriggerMonitor.h"
#include "services/SystemShortcuts.h"
#include "settings/general/HotkeyRecorderView.h"
#include "store/ConfigStore.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QPushButton>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <cstdlib>
#include <xcb/xcb.h>

using namespace vima;
using namespace vima::test;

namespace {

constexpr quint64 shift = HotkeySpec::shift, control = HotkeySpec::control, alt = HotkeySpec::option;
constexpr xcb_keycode_t f13Keycode = 191;
constexpr xcb_keycode_t jKeycode = 44;
constexpr xcb_keysym_t f13Keysym = 0xFFCA, toolsKeysym = 0x1008FF81;

int xdotool(const QStringList &arguments) { return SupportProgram::run(QStringLiteral("xdotool"), arguments); }

// Keys down in order, then up in the reverse order.
void press(const QStringList &keys)
{
    QStringList down, up;
    for (const QString &key : keys) {
        down << QStringLiteral("keydown") << key;
        up.prepend(key);
        up.prepend(QStringLiteral("keyup"));
    }
    xdotool(down);
    xdotool(up);
}

// Xvfb's keymap types XF86Tools on the F13 key; a layout that types F13 there
// lets xdotool find the key by that name.
void typeOnF13Key(xcb_keysym_t keysym)
{
    xcb_connection_t *c = xcb_connect(nullptr, nullptr);
    xcb_change_keyboard_mapping(c, 1, f13Keycode, 1, &keysym);
    std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
    xcb_disconnect(c);
}

// The settings' context with the real X keyboard pieces in place of the fakes.
SettingsContext withRealKeys(const SettingsContext &fakes, const SystemShortcuts &shortcuts,
                             const KeyEventCodes &codes, KeyboardGrab &keyboard)
{
    return SettingsContext{
        .store = fakes.store,
        .permissions = fakes.permissions,
        .loginItem = fakes.loginItem,
        .llm = fakes.llm,
        .keychain = fakes.keychain,
        .shortcuts = shortcuts,
        .keyEventCodes = codes,
        .keyboard = keyboard,
        .notifications = fakes.notifications,
        .prompts = fakes.prompts,
        .hotkeyFailure = fakes.hotkeyFailure,
        .settings = fakes.settings,
        .scheduler = fakes.scheduler,
        .catalog = fakes.catalog,
        .appIcons = fakes.appIcons,
        .haptics = fakes.haptics,
        .beep = fakes.beep,
        .sharedCatalog = fakes.sharedCatalog,
    };
}

// The agent on the X server, and its hotkey control on a settings page of
// fakes but for the keyboard, which it shares with the agent's ring.
struct Desk {
    QTemporaryDir configDirectory;
    NotificationCenter notifications;
    Platform platform = makeLinuxPlatform();
    AppEnvironment agent{platform, configDirectory.path(), Scheduler::system(), notifications};
    SettingsHarness h;
    const SystemShortcuts shortcuts{*platform.hotKeyProbe};
    SettingsContext context = withRealKeys(h.context(), shortcuts, *platform.keyEventCodes, *platform.keyboard);
    HotkeyRecorderView view{context};

    bool isReady()
    {
        view.show();
        view.activateWindow();
        return QTest::qWaitForWindowActive(&view);
    }
    HotkeySpec hotkey() { return h.store().config().hotkey; }
    const KeyboardGrab &keyboard() const { return *platform.keyboard; }
};

} // namespace

class TestHotkeyRecorderE2E : public QObject {
    Q_OBJECT

private:
    // Starts recording and waits until keys reach the recorder through its
    // keyboard grab (the grab moves to the window a moment after it starts).
    static bool startRecording(HotkeyRecorderView &view)
    {
        view.recorderButton()->click();
        HotkeyRecorderModel &model = *view.model();
        for (int attempt = 0; attempt < 50; ++attempt) {
            xdotool({QStringLiteral("keydown"), QStringLiteral("shift")});
            const bool seen = QTest::qWaitFor([&] { return model.liveModifiers() == shift; }, 100);
            xdotool({QStringLiteral("keyup"), QStringLiteral("shift")});
            if (seen)
                return QTest::qWaitFor([&] { return model.liveModifiers() == 0; });
        }
        return false;
    }

    // Past the hold delay, and on long enough that letting go would close an
    // open ring rather than pin it; true once the ring is shut again.
    static bool holdRightButton(AppEnvironment &agent)
    {
        const auto waiting = [&] {
            return std::holds_alternative<LongPressRecognizer::Waiting>(agent.pointer().recognizer().phase);
        };
        xdotool({QStringLiteral("mousemove"), QStringLiteral("1200"), QStringLiteral("800"),
                 QStringLiteral("mousedown"), QStringLiteral("3")});
        if (!QTest::qWaitFor(waiting) || !QTest::qWaitFor([&] { return !waiting(); }))
            return false;
        QTest::qWait(qRound(agent.configStore().config().appearance.stickyTapThreshold * 1000) + 200);
        xdotool({QStringLiteral("mouseup"), QStringLiteral("3")});
        return QTest::qWaitFor([&] { return !agent.ringController().isVisible(); });
    }

    static bool openAndClose(QComboBox &combo)
    {
        combo.showPopup();
        const bool opened = QTest::qWaitFor([&] { return combo.view()->isVisible(); });
        combo.hidePopup();
        return opened;
    }

private Q_SLOTS:
    void recordsWhatTheDesktopFreesAndRefusesAGrabbedCombination()
    {
        Desk desk;
        QVERIFY(desk.isReady());
        HotkeyRecorderView &view = desk.view;
        const KeyboardGrab &keyboard = desk.keyboard();
        const auto hotkey = [&] { return desk.hotkey(); };

        // Refused on the other platform; free here.
        QVERIFY(startRecording(view));
        press({QStringLiteral("ctrl"), QStringLiteral("alt"), QStringLiteral("space")});
        QTRY_COMPARE(hotkey(), (HotkeySpec{49, control | alt}));
        QCOMPARE(view.recorderButton()->text(), QStringLiteral("Ctrl+Alt+Space"));
        QVERIFY(!keyboard.isGrabbed());

        typeOnF13Key(f13Keysym);
        const auto restore = qScopeGuard([] { typeOnF13Key(toolsKeysym); });
        QVERIFY(startRecording(view));
        press({QStringLiteral("shift"), QStringLiteral("F13")});
        QTRY_COMPARE(hotkey(), (HotkeySpec{105, shift}));
        QCOMPARE(view.recorderButton()->text(), QStringLiteral("Shift+F13"));

        // Another client holds Ctrl+Shift+J; the recorder still sees it, and says why not.
        SupportProgram other(QStringLiteral("grab_key"),
                             {QString::number(jKeycode), QString::number(XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_SHIFT)});
        QCOMPARE(other.nextLine(), QStringLiteral("grabbed"));
        QVERIFY(startRecording(view));
        press({QStringLiteral("ctrl"), QStringLiteral("shift"), QStringLiteral("j")});
        QTRY_COMPARE(view.model()->refusal(), QStringLiteral("Another program has grabbed Ctrl+Shift+J."));
        QVERIFY(view.model()->isRecording());
        QCOMPARE(hotkey(), (HotkeySpec{105, shift}));
        press({QStringLiteral("Escape")});
        QTRY_VERIFY(!view.model()->isRecording());
        QVERIFY(!keyboard.isGrabbed());
    }

    // What would take the keyboard from the recorder while it records: the
    // ring's grab and release, or a popup's. The desktop would then take the
    // keys the user types next.
    void keepsTheKeyboardThrough_data()
    {
        QTest::addColumn<bool>("ring");
        QTest::newRow("a long right-click") << true;
        QTest::newRow("a popup list") << false;
    }

    void keepsTheKeyboardThrough()
    {
        QFETCH(bool, ring);
        Desk desk;
        desk.agent.configStore().edit([](VimaConfig &c) { c.pointerTrigger.enabled = true; });
        QVERIFY(desk.agent.pointer().isStarted());
        auto *combo = new QComboBox(&desk.view);
        combo->addItems({QStringLiteral("One"), QStringLiteral("Two")});
        QVERIFY(desk.isReady());
        SupportProgram other(QStringLiteral("grab_key"),
                             {QString::number(jKeycode), QString::number(XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_SHIFT)});
        QCOMPARE(other.nextLine(), QStringLiteral("grabbed"));
        QVERIFY(startRecording(desk.view));

        QVERIFY(ring ? holdRightButton(desk.agent) : openAndClose(*combo));
        press({QStringLiteral("ctrl"), QStringLiteral("shift"), QStringLiteral("j")});
        QTRY_COMPARE(desk.view.model()->refusal(), QStringLiteral("Another program has grabbed Ctrl+Shift+J."));
        press({QStringLiteral("ctrl"), QStringLiteral("alt"), QStringLiteral("k")});
        QTRY_COMPARE(HotkeyManager::displayName(desk.hotkey().keyCode, desk.hotkey().modifierFlags),
                     QStringLiteral("Ctrl+Alt+K"));
        QVERIFY(!desk.keyboard().isGrabbed());
    }
};

QTEST_MAIN(TestHotkeyRecorderE2E)
#include "e2e_hotkeyrecorder.moc"
