#include "SettingsHarness.h"

#include "platform/fake/FakeHotKeyProbe.h"
#include "platform/fake/FakeHotKeyRegistrar.h"
#include "platform/fake/FakeKeyEventCodes.h"
#include "services/HotkeyManager.h"
#include "services/SystemShortcuts.h"
#include "settings/general/HotkeyRecorderModel.h"
#include "settings/general/HotkeyRecorderView.h"

#include <QKeyEvent>
#include <QPushButton>
#include <QShortcut>
#include <QSignalSpy>
#include <QTest>
#include <QWidget>

using namespace vima;
using namespace vima::test;

Q_DECLARE_METATYPE(QList<HotkeySpec>)

namespace {

constexpr quint64 shift = HotkeySpec::shift;
constexpr quint64 control = HotkeySpec::control;
constexpr quint64 option = HotkeySpec::option;
constexpr quint64 command = HotkeySpec::command;

const QString needsModifier = QStringLiteral("A shortcut needs at least one modifier key (Ctrl, Alt, Shift or Super).");

// Counts the key presses that get past the recorder.
class KeyTarget : public QWidget {
public:
    int presses = 0;

protected:
    void keyPressEvent(QKeyEvent *) override { ++presses; }
};

struct Recorder {
    FakeHotKeyProbe probe;
    SystemShortcuts shortcuts{probe};
    FakeKeyEventCodes keyCodes;
    FakeHotKeyRegistrar registrar; // names letter keys for the labels
    HotkeyManager manager{registrar};
    HotkeyRecorderModel model{shortcuts, keyCodes};
    QSignalSpy chosen{&model, &HotkeyRecorderModel::hotkeyChosen};
    int beeps = 0;
    KeyTarget target;
    bool active = false;

    Recorder()
    {
        registrar.layout = {{40, QStringLiteral("k")}, {38, QStringLiteral("j")}};
        probe.heldElsewhere = {{38, control | shift}};
        model.beep = [this] { ++beeps; };
        target.setFocusPolicy(Qt::StrongFocus);
        target.show();
        target.activateWindow();
        target.setFocus();
        active = QTest::qWaitForWindowActive(&target);
    }

    QList<HotkeySpec> written() const
    {
        QList<HotkeySpec> list;
        for (const QList<QVariant> &arguments : chosen)
            list.append(arguments.at(0).value<HotkeySpec>());
        return list;
    }

    // Steps: "click", "cancel", "reset", "hold:Alt" / "let:Alt" (a modifier
    // key), else a key combination pressed and let go ("Alt+K", "Esc").
    void run(const QString &script)
    {
        for (const QString &step : script.split(u' ', Qt::SkipEmptyParts)) {
            if (step == u"click")
                model.toggleRecording();
            else if (step == u"cancel")
                model.stopRecording();
            else if (step == u"reset")
                model.resetToDefault();
            else if (step.startsWith(u"hold:"))
                modifierKey(QEvent::KeyPress, step.mid(5));
            else if (step.startsWith(u"let:"))
                modifierKey(QEvent::KeyRelease, step.mid(4));
            else
                press(QKeySequence::fromString(step)[0]);
        }
    }

    void press(QKeyCombination combination)
    {
        QTest::keyClick(&target, combination.key(), combination.keyboardModifiers());
    }

    // As a window system reports it: the modifiers held before the event.
    void modifierKey(QEvent::Type type, const QString &name)
    {
        static const QHash<QString, std::pair<Qt::Key, Qt::KeyboardModifier>> keys{
            {QStringLiteral("Shift"), {Qt::Key_Shift, Qt::ShiftModifier}},
            {QStringLiteral("Ctrl"), {Qt::Key_Control, Qt::ControlModifier}},
            {QStringLiteral("Alt"), {Qt::Key_Alt, Qt::AltModifier}},
            {QStringLiteral("Meta"), {Qt::Key_Meta, Qt::MetaModifier}},
        };
        const auto [key, modifier] = keys.value(name);
        if (type == QEvent::KeyPress) {
            QTest::keyPress(&target, key, held);
            held |= modifier;
        } else {
            QTest::keyRelease(&target, key, held);
            held &= ~modifier;
        }
    }

    Qt::KeyboardModifiers held;
};

} // namespace

class TestHotkeyRecorder : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void stateTable_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<bool>("recording");
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("refusal");
        QTest::addColumn<QList<HotkeySpec>>("written");
        QTest::addColumn<int>("beeps");
        QTest::addColumn<int>("reached"); // key presses that got past the recorder

        const QList<HotkeySpec> none;
        QTest::newRow("idle keys pass") << "K" << false << "Alt+Space" << "" << none << 0 << 1;
        QTest::newRow("click starts") << "click" << true << "Press keys…" << "" << none << 0 << 0;
        QTest::newRow("modifier held") << "click hold:Alt" << true << "Alt+…" << "" << none << 0 << 0;
        QTest::newRow("modifiers in order") << "click hold:Meta hold:Shift hold:Ctrl" << true << "Ctrl+Shift+Super+…"
                                            << "" << none << 0 << 0;
        QTest::newRow("modifier let go") << "click hold:Alt let:Alt" << true << "Press keys…" << "" << none << 0
                                         << 0;
        QTest::newRow("no modifier") << "click K" << true << "Press keys…" << needsModifier << none << 1 << 0;
        QTest::newRow("then a modifier commits")
            << "click K Alt+K" << false << "Alt+K" << "" << QList<HotkeySpec>{{40, option}} << 1 << 0;
        QTest::newRow("keys pass again after") << "click Ctrl+K K" << false << "Ctrl+K" << ""
                                               << QList<HotkeySpec>{{40, control}} << 0 << 1;
        QTest::newRow("the other platform's shortcut is free here") << "click Meta+Space" << false << "Super+Space"
                                                                    << "" << QList<HotkeySpec>{{49, command}} << 0 << 0;
        QTest::newRow("held by another program") << "click Ctrl+Shift+J" << true << "Press keys…"
                                                 << "Another program has grabbed Ctrl+Shift+J." << none << 1 << 0;
        QTest::newRow("F13 with a modifier") << "click Shift+F13" << false << "Shift+F13" << ""
                                             << QList<HotkeySpec>{{105, shift}} << 0 << 0;
        QTest::newRow("F24 with a modifier") << "click Ctrl+F24" << false << "Ctrl+F24" << ""
                                             << QList<HotkeySpec>{{keys::functionKeys[23], control}} << 0 << 0;
        QTest::newRow("a key without a code") << "click Alt+Help" << true << "Press keys…" << "" << none << 1 << 0;
        QTest::newRow("bare Escape cancels") << "click Esc" << false << "Alt+Space" << "" << none << 0 << 0;
        QTest::newRow("Escape keeps the refusal") << "click K Esc" << false << "Alt+Space" << needsModifier << none
                                                  << 1 << 0;
        QTest::newRow("Escape with a modifier is a combination")
            << "click Meta+Esc" << false << "Super+Esc" << "" << QList<HotkeySpec>{{53, command}} << 0 << 0;
        QTest::newRow("click again stops") << "click click" << false << "Alt+Space" << "" << none << 0 << 0;
        QTest::newRow("Cancel stops") << "click hold:Alt cancel" << false << "Alt+Space" << "" << none << 0 << 0;
        QTest::newRow("a new recording clears the refusal") << "click K Esc click" << true << "Press keys…" << ""
                                                            << none << 1 << 0;
        QTest::newRow("Reset writes even the same value")
            << "reset" << false << "Alt+Space" << "" << QList<HotkeySpec>{{49, option}} << 0 << 0;
        QTest::newRow("Reset clears the refusal") << "click K Esc Ctrl+K reset" << false << "Alt+Space" << ""
                                                  << QList<HotkeySpec>{{49, option}} << 1 << 2;
    }

    void stateTable()
    {
        QFETCH(QString, script);
        Recorder recorder;
        recorder.run(script);
        QTEST(recorder.model.isRecording(), "recording");
        QTEST(recorder.model.label(), "label");
        QTEST(recorder.model.refusal(), "refusal");
        QTEST(recorder.written(), "written");
        QTEST(recorder.beeps, "beeps");
        QTEST(recorder.target.presses, "reached");
    }

    void shortcutsAndModifierKeysAreTakenWhileRecording()
    {
        Recorder recorder;
        QVERIFY(recorder.active);
        int fired = 0;
        QShortcut close(QKeySequence(QStringLiteral("Ctrl+W")), &recorder.target);
        connect(&close, &QShortcut::activated, [&] { ++fired; });

        recorder.run(QStringLiteral("click Ctrl+W"));
        QCOMPARE(fired, 0);
        QCOMPARE(recorder.written(), (QList<HotkeySpec>{{13, control}}));
        recorder.run(QStringLiteral("Ctrl+W"));
        QCOMPARE(fired, 1);
    }

    void alreadyInUseShowsOnlyWhenNothingElseSpeaks()
    {
        Recorder recorder;
        recorder.model.setUnavailable(true);
        QVERIFY(recorder.model.showsUnavailable());
        recorder.run(QStringLiteral("click"));
        QVERIFY(!recorder.model.showsUnavailable());
        recorder.run(QStringLiteral("K Esc"));
        QVERIFY(!recorder.model.showsUnavailable());
        QCOMPARE(recorder.model.refusalHint(), QStringLiteral("Nothing was changed — try a different combination."));
        recorder.run(QStringLiteral("reset"));
        QVERIFY(recorder.model.showsUnavailable());
    }

    void theBoundValueIsShownNotWritten()
    {
        Recorder recorder;
        recorder.model.setHotkey({40, shift | command});
        QCOMPARE(recorder.model.label(), QStringLiteral("Shift+Super+K"));
        QVERIFY(recorder.chosen.isEmpty());
    }

    // As the General tab's road goes: Tab to the control, Space, the combination.
    void spaceThenACombinationWritesTheConfiguration()
    {
        SettingsHarness h;
        HotkeyRecorderView view(h.context());
        QList<HotkeySpec> storedWhenChosen;
        connect(&view, &HotkeyRecorderView::hotkeyChosen, &view,
                [&] { storedWhenChosen.append(h.store().config().hotkey); });
        view.show();
        QVERIFY(QTest::qWaitForWindowActive(&view));
        QPushButton *button = view.recorderButton();
        QCOMPARE(button->accessibleName(), QStringLiteral("Hotkey"));
        button->setFocus();
        QTest::keyClick(button, Qt::Key_Space);
        QVERIFY(view.model()->isRecording());
        QVERIFY(h.keyboard.isGrabbed()); // a combination another program grabbed comes here too
        QCOMPARE(h.keyboard.window, view.window()->winId());

        QTest::keyClick(button, Qt::Key_K, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(h.store().config().hotkey, (HotkeySpec{40, control | shift}));
        QCOMPARE(storedWhenChosen, (QList<HotkeySpec>{{40, control | shift}}));
        QVERIFY(!view.model()->isRecording());
        QVERIFY(!h.keyboard.isGrabbed());
    }

    void followsTheConfigurationAndTheFailureWithoutWriting()
    {
        SettingsHarness h;
        HotkeyRecorderView view(h.context());
        QSignalSpy chosen(&view, &HotkeyRecorderView::hotkeyChosen);
        h.store().edit([](VimaConfig &config) { config.hotkey = {40, command}; });
        QCOMPARE(view.model()->hotkey(), (HotkeySpec{40, command}));
        h.hotkeyFailure.setFailed(true);
        QVERIFY(view.model()->showsUnavailable());
        QVERIFY(chosen.isEmpty());
    }

    void hidingTheControlEndsTheRecording()
    {
        SettingsHarness h;
        QWidget tab;
        auto *view = new HotkeyRecorderView(h.context(), &tab);
        tab.show();
        view->model()->toggleRecording();
        QVERIFY(h.keyboard.isGrabbed());
        tab.hide();
        QVERIFY(!view->model()->isRecording());
        QVERIFY(!h.keyboard.isGrabbed());

        KeyTarget elsewhere;
        elsewhere.show();
        QTest::keyClick(&elsewhere, Qt::Key_K, Qt::ControlModifier);
        QCOMPARE(elsewhere.presses, 2);
        QCOMPARE(h.store().config().hotkey, HotkeySpec{});
    }
};

QTEST_MAIN(TestHotkeyRecorder)
#include "tst_hotkeyrecorder.moc"
