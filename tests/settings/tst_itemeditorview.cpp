#include "settings/items/ItemEditorView.h"

#include "ItemEditorHost.h"
#include "SettingsHarness.h"

#include "model/KeystrokeScript.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

using namespace vima;
using namespace vima::test;

namespace {

template<typename Widget>
Widget *named(QWidget *root, const QString &name)
{
    const QList<Widget *> found = root->findChildren<Widget *>();
    for (Widget *widget : found) {
        if (widget->accessibleName() == name || widget->property("text").toString() == name)
            return widget;
    }
    return nullptr;
}

} // namespace

class TestItemEditorView : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<SettingsHarness> harness_;
    RingItem script_ = shellItem(0, "Build");
    QUuid ringID_;

private Q_SLOTS:
    void init()
    {
        VimaConfig config;
        config.rings = {ring("Main", {script_, shellItem(1, "Other")})};
        ringID_ = config.rings.first().id;
        harness_ = std::make_unique<SettingsHarness>();
        harness_->fixture.open(config);
    }

    void keystrokesAreWrittenOneByOneWithoutRebuilding()
    {
        ItemEditorView view(harness_->context());
        ItemEditorHost host(harness_->store(), view, ringID_, script_.id);
        auto *editor = named<QPlainTextEdit>(&view, "Script");
        QVERIFY(editor);
        editor->moveCursor(QTextCursor::End);
        QTest::keyClicks(editor, " -j");
        // The host swaps the item into slot 2 through the Slot picker.
        auto *slot = named<QComboBox>(&view, "Slot");
        QCOMPARE(slot->count(), 8);
        QCOMPARE(slot->itemText(0), "1 (top)");
        slot->setCurrentIndex(1); // as a key, a screen reader or automation would
        QCOMPARE(slot->currentIndex(), 1);
        QTest::keyClicks(editor, "8");
        QCOMPARE(host.writes, 4);
        QCOMPARE(host.stored().slot, 1);
        QCOMPARE(std::get<ShellPayload>(host.stored().action.payload).script, "echo hi -j8");
        // Same field, cursor where the user left it.
        QCOMPARE(named<QPlainTextEdit>(&view, "Script"), editor);
        QCOMPARE(editor->textCursor().position(), editor->toPlainText().size());
    }

    // A title of one letter under a million marks and a long script: the
    // fields hold their start, showing writes nothing, an edit writes what the
    // title field holds, and the cut script can't be edited.
    void aValueTooLongToShowIsCutAndKeptUntilEdited()
    {
        RingItem huge = shellItem(2, u'a' + QString(1'000'000, QChar(0x0301)));
        std::get<ShellPayload>(huge.action.payload).script = QString(200'000, u'x');
        harness_->store().edit([&](VimaConfig &config) { config.rings.first().items.append(huge); });
        ItemEditorView view(harness_->context());
        ItemEditorHost host(harness_->store(), view, ringID_, huge.id);
        auto *title = named<QLineEdit>(&view, "Title");
        QCOMPARE(title->text(), u'a' + QString(31, QChar(0x0301)) + QChar(0x2026));
        QVERIFY(named<QPlainTextEdit>(&view, "Script")->isReadOnly());
        QCOMPARE(host.writes, 0);
        QCOMPARE(host.stored(), huge);
        title->end(false);
        QTest::keyClicks(title, "b");
        QCOMPARE(host.stored().title, u'a' + QString(31, QChar(0x0301)) + QStringLiteral("…b"));
    }

    void aRefusedSlotShowsTheItemsSlotAgain()
    {
        ItemEditorView view(harness_->context());
        view.setSlotCount(3);
        view.setItem(script_);
        QList<qint64> asked;
        view.onAssignSlot = [&](qint64 slot) { asked << slot; };
        auto *slot = named<QComboBox>(&view, "Slot");
        slot->setCurrentIndex(2);
        QCOMPARE(asked, QList<qint64>{2});
        QCOMPARE(slot->currentIndex(), 0);
    }

    void chooseAppGoesThroughThePrompts()
    {
        ItemEditorView view(harness_->context());
        RingItem app{QUuid::createUuid(), "Open App", IconSpec::appIcon(""), 0, ItemAction{LaunchAppPayload{}}};
        view.setItem(app);
        QSignalSpy edits(&view, &ItemEditorView::itemEdited);
        harness_->prompts.applications = {std::nullopt, ChosenApplication{"Editor", "org.example.Editor", "/e.desktop"}};
        auto *choose = named<QPushButton>(&view, "Choose App…");
        QVERIFY(choose);
        choose->click();
        QCOMPARE(edits.size(), 0);
        choose->click();
        QTRY_COMPARE(edits.size(), 1);
        QCOMPARE(view.item().icon, IconSpec::appIcon("org.example.Editor"));
        QCOMPARE(view.item().title, "Editor");
        QCOMPARE(view.item().action, app.action);
        QCOMPARE(named<QLineEdit>(&view, "Desktop identifier")->text(), "org.example.Editor");
    }

    // AppleScript can't run here: offered only to an item that already is one.
    void aStoredAppleScriptKeepsItsKindAndSaysItCantRun()
    {
        ItemEditorView view(harness_->context());
        const RingItem stored{QUuid::createUuid(), "Dark", IconSpec::symbol("scroll"), 0,
                              ItemAction{AppleScriptPayload{"tell app \"Finder\" to activate", false}}};
        view.setItem(stored);
        auto *kind = named<QComboBox>(&view, "When picked");
        QVERIFY(kind);
        QCOMPARE(kind->count(), 6);
        QCOMPARE(kind->currentText(), "Run AppleScript");
        QCOMPARE(named<QPlainTextEdit>(&view, "AppleScript")->toPlainText(), "tell app \"Finder\" to activate");
        QVERIFY(named<QLabel>(&view, "AppleScript can't run on this system. The script is kept as it is, but "
                                     "picking this item only reports that it can't run."));
        QCOMPARE(view.item(), stored); // showing it changed nothing

        // The keystroke form runs without AppleScript.
        RingItem keystroke = stored;
        keystroke.action = ItemAction{AppleScriptPayload{keystrokeScript(KeyChord{"t", HotkeySpec::control}, "firefox"), false}};
        view.setItem(keystroke);
        QVERIFY(named<QLabel>(&view, "AppleScript can't run on this system, but this keystroke does: Ctrl+T goes to "
                                     "the window of firefox."));
        keystroke.action = ItemAction{AppleScriptPayload{keyCodeScript(keys::functionKeys[4], "shift down", "firefox"), false}};
        view.setItem(keystroke);
        QVERIFY(named<QLabel>(&view, "AppleScript can't run on this system, but this keystroke does: Shift+F5 goes to "
                                     "the window of firefox."));

        // Switched away and back, it gets its script back.
        const ItemAction script = view.item().action;
        kind->setCurrentIndex(kind->findText("Run a shell script"));
        QCOMPARE(view.item().action.kind(), ItemAction::Kind::shell);
        QCOMPARE(kind->count(), 6);
        kind->setCurrentIndex(kind->findText("Run AppleScript"));
        QCOMPARE(view.item().action, script);

        // Any other item is never offered AppleScript.
        view.setItem(script_);
        QCOMPARE(kind->count(), 5);
        QCOMPARE(kind->findText("Run AppleScript"), -1);
        QCOMPARE(kind->currentText(), "Run a shell script");
    }
};

QTEST_MAIN(TestItemEditorView)
#include "tst_itemeditorview.moc"
