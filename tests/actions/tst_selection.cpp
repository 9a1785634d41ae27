#include "TestDoubles.h"
#include "actions/ClipboardLane.h"
#include "actions/SelectionError.h"
#include "actions/SelectionService.h"
#include "async/Cancelled.h"
#include "async/FakeScheduler.h"
#include "platform/fake/FakeAccessibility.h"
#include "platform/fake/FakeApplicationActivator.h"
#include "platform/fake/FakeKeySender.h"
#include "platform/fake/FakePasteboard.h"

#include <QTest>

using namespace vima;
using Element = FakeAccessibilityElement;
using Kind = AXSelectionRead::Kind;

namespace {

const RunningApplication editor{77, QStringLiteral("org.example.Editor"), QStringLiteral("Editor")};
PasteboardSnapshot snapshotOf(const PasteboardSnapshot::Item &item)
{
    PasteboardSnapshot snapshot;
    snapshot.items.append(item);
    return snapshot;
}

const PasteboardSnapshot earlier = snapshotOf({{QStringLiteral("text/plain;charset=utf-8"), "earlier"},
                                               {QStringLiteral("image/png"), QByteArray("\x89PNG", 4)}});

Element::Pointer withText(const QString &text)
{
    auto element = Element::make();
    element->selected = AXAnswer<QString>::of(text);
    return element;
}

// A window whose only selection sits `depth` levels down its first branch.
Element::Pointer chain(int depth, const QString &text)
{
    auto window = Element::make();
    auto node = window;
    for (int i = 0; i < depth; ++i) {
        auto child = Element::make();
        node->childList = QList<AccessibilityElement::Pointer>{child};
        node = child;
    }
    node->selected = AXAnswer<QString>::of(text);
    return window;
}

} // namespace

class TestSelection : public QObject {
    Q_OBJECT

    FakeAccessibility accessibility;
    FakePasteboard pasteboard;
    FakeKeySender keys;
    FakeApplicationActivator activator;
    FakeScheduler scheduler;
    ClipboardLane lane{scheduler};
    std::unique_ptr<SelectionService> service;
    Element::Pointer app;

    QString errorOf(const std::shared_ptr<test::Recorded<QString>> &result)
    {
        try {
            std::rethrow_exception(result->error);
        } catch (const SelectionError &e) {
            return e.description();
        } catch (...) {
            return QStringLiteral("<other>");
        }
    }

    AXSelectionRead readAX() { return *test::start(service->readViaAccessibility(editor, {}))->value; }

    std::shared_ptr<test::Recorded<QString>> capture(bool fallback, std::optional<RunningApplication> target = editor,
                                                     CancellationToken token = {})
    {
        auto result = test::start(service->capture(target, fallback, token));
        scheduler.runAll();
        return result;
    }

private Q_SLOTS:
    void init()
    {
        QCOMPARE(earlier.items.size(), 1);
        accessibility = {};
        pasteboard = {};
        pasteboard.contents = earlier;
        keys = {};
        activator = {};
        activator.activePid = editor.pid;
        service = std::make_unique<SelectionService>(
            SelectionService::Collaborators{accessibility, pasteboard, keys, activator, scheduler, lane});
        app = Element::make();
        accessibility.applications.insert(editor.pid, app);
    }

    void focusedElementTextIsReturnedAsRead()
    {
        app->focused = withText(QStringLiteral("  some text \n"));
        const auto result = capture(false);
        QCOMPARE(result->value, QStringLiteral("  some text \n"));
        QCOMPARE(app->messagingTimeout, 0.6);
    }

    void notTrustedTouchesNothing()
    {
        accessibility.trusted = false;
        app->focused = withText(QStringLiteral("secret"));
        QCOMPARE(errorOf(capture(true)), SelectionError::notPermitted().description());
        QCOMPARE(app->focused->selectedTextReads, 0);
        QVERIFY(keys.sent.isEmpty());
    }

    void elementReads_data()
    {
        QTest::addColumn<Element::Pointer>("focused");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("text");

        auto blankEmpty = withText(QStringLiteral("   "));
        blankEmpty->range = TextRange{4, 0};
        QTest::newRow("blank text, empty range") << blankEmpty << int(Kind::nothingSelected) << "";

        auto noValue = Element::make();
        noValue->selected = AXAnswer<QString>::none();
        QTest::newRow("no value, no range") << noValue << int(Kind::nothingSelected) << "";

        QTest::newRow("nothing exposed") << Element::make() << int(Kind::notShared) << "";

        auto ranged = Element::make();
        ranged->range = TextRange{0, 5};
        ranged->rangeString = QStringLiteral("range");
        ranged->fullValue = QStringLiteral("value");
        QTest::newRow("string for range first") << ranged << int(Kind::text) << "range";

        auto emoji = Element::make();
        emoji->range = TextRange{3, 5}; // the emoji is two UTF-16 units
        emoji->fullValue = QStringLiteral("😀 hello world");
        QTest::newRow("value cut by UTF-16 positions") << emoji << int(Kind::text) << "hello";

        auto split = Element::make();
        split->range = TextRange{0, 2};
        split->fullValue = QStringLiteral("a😀b");
        QTest::newRow("range ends inside a character") << split << int(Kind::nothingSelected) << "";

        auto outside = Element::make();
        outside->range = TextRange{2, 10};
        outside->fullValue = QStringLiteral("short");
        QTest::newRow("range beyond the text") << outside << int(Kind::nothingSelected) << "";

        auto huge = Element::make();
        huge->selected = AXAnswer<QString>::tooLarge();
        huge->range = TextRange{0, 5};
        huge->rangeString = QStringLiteral("range");
        QTest::newRow("over the ceiling, nothing else asked") << huge << int(Kind::tooLarge) << "";
    }

    void elementReads()
    {
        QFETCH(Element::Pointer, focused);
        QFETCH(int, kind);
        QFETCH(QString, text);
        app->focused = focused;
        QCOMPARE(readAX(), (AXSelectionRead{Kind(kind), text}));
    }

    void errorsBeforeAnyCopy_data()
    {
        QTest::addColumn<Element::Pointer>("focused");
        QTest::addColumn<std::optional<RunningApplication>>("target");
        QTest::addColumn<bool>("fallback");
        QTest::addColumn<QString>("error");
        auto blank = withText(QStringLiteral(" \n"));
        blank->range = TextRange{0, 0};
        QTest::newRow("nothing selected")
            << blank << std::optional(editor) << false << "No text is selected in Editor.";
        RunningApplication lower = editor;
        lower.name = QStringLiteral("editor");
        QTest::newRow("not shared, name capitalised")
            << Element::make() << std::optional(lower) << false
            << "Editor doesn't share its selection with Tavelon, and the clipboard fallback is turned off.";
        QTest::newRow("no target")
            << Element::make() << std::optional<RunningApplication>() << false
            << "The frontmost app doesn't share its selection with Tavelon, and the clipboard fallback is turned off.";
        RunningApplication blankName = editor;
        blankName.name = QStringLiteral("  ");
        QTest::newRow("blank name") << blank << std::optional(blankName) << false
                                    << "No text is selected in the frontmost app.";
        auto huge = Element::make();
        huge->selected = AXAnswer<QString>::tooLarge();
        QTest::newRow("over the ceiling: a copy would bring the same")
            << huge << std::optional(editor) << true
            << "The text selected in Editor is larger than 8 MB, so Tavelon sent nothing.";
    }

    void errorsBeforeAnyCopy()
    {
        QFETCH(Element::Pointer, focused);
        QFETCH(std::optional<RunningApplication>, target);
        QFETCH(bool, fallback);
        QFETCH(QString, error);
        app->focused = focused;
        QCOMPARE(errorOf(capture(fallback, target)), error);
        QVERIFY(keys.sent.isEmpty());
        QCOMPARE(pasteboard.contents, earlier);
    }

    void windowSearch_data()
    {
        QTest::addColumn<Element::Pointer>("window");
        QTest::addColumn<int>("kind");
        QTest::newRow("found at depth 8") << chain(8, QStringLiteral("deep")) << int(Kind::text);
        QTest::newRow("depth 9 is never reached") << chain(9, QStringLiteral("deeper")) << int(Kind::notShared);

        auto wide = Element::make();
        QList<AccessibilityElement::Pointer> children;
        for (int i = 0; i < 33; ++i)
            children.append(i == 32 ? withText(QStringLiteral("33rd")) : Element::make());
        wide->childList = children;
        QTest::newRow("only 32 children") << wide << int(Kind::notShared);

        // What is not an element does not count towards the 32.
        auto holed = Element::make();
        QList<AccessibilityElement::Pointer> withHole{nullptr};
        for (int i = 0; i < 32; ++i)
            withHole.append(i == 31 ? withText(QStringLiteral("32nd element")) : Element::make());
        holed->childList = withHole;
        QTest::newRow("32 elements, not counting a non-element") << holed << int(Kind::text);

        // 1 window + 32 children + 63 grandchildren = 96 examined; the 64th grandchild is not.
        auto big = Element::make();
        QList<AccessibilityElement::Pointer> level1;
        for (int i = 0; i < 32; ++i) {
            auto child = Element::make();
            QList<AccessibilityElement::Pointer> level2;
            for (int j = 0; j < 32; ++j)
                level2.append(i == 1 && j == 31 ? withText(QStringLiteral("64th")) : Element::make());
            child->childList = level2;
            level1.append(child);
        }
        big->childList = level1;
        QTest::newRow("stops after 96 elements") << big << int(Kind::notShared);

        auto quiet = chain(2, QStringLiteral("x"));
        std::static_pointer_cast<Element>(quiet->childList->first())->selected = AXAnswer<QString>::none();
        QTest::newRow("found below a no-value element") << quiet << int(Kind::text);
    }

    void windowSearch()
    {
        QFETCH(Element::Pointer, window);
        QFETCH(int, kind);
        app->window = window;
        QCOMPARE(readAX().kind, Kind(kind));
    }

    void windowSearchKeepsToItsBudget()
    {
        auto window = Element::make();
        QList<AccessibilityElement::Pointer> children;
        for (int i = 0; i < 10; ++i) {
            auto slow = Element::make();
            slow->onSelectedTextRead = [this] { scheduler.advance(0.1); };
            if (i == 9)
                slow->selected = AXAnswer<QString>::of(QStringLiteral("late"));
            children.append(slow);
        }
        window->childList = children;
        app->window = window;
        QCOMPARE(readAX().kind, Kind::notShared);
    }

    void systemWideIsAskedAfterTheApplication()
    {
        auto blank = withText(QString());
        blank->range = TextRange{0, 0};
        app->focused = blank;
        accessibility.systemWide->focused = withText(QStringLiteral("system"));
        QCOMPARE(readAX(), (AXSelectionRead{Kind::text, QStringLiteral("system")}));
        accessibility.systemWide->focused = {};
        QCOMPARE(readAX().kind, Kind::nothingSelected);
    }

    void copyFallback_data()
    {
        // What the target's PRIMARY gives: "<unshared>": nothing; "<no text>":
        // no value (another program owns it, or the target holds no text
        // there, as a GtkEntry without a selection).
        QTest::addColumn<QString>("primary");
        QTest::addColumn<KeySender::Keys>("keys");
        // "<image>": only an image; "<none>": ignores the copy; "<silent>",
        // "<oversized>": copies, then serves it so
        QTest::addColumn<QString>("copied");
        QTest::addColumn<QString>("result");
        using Keys = KeySender::Keys;
        QTest::newRow("copies text") << "<unshared>" << Keys::editor << "copied text " << "copied text ";
        QTest::newRow("ignores the shortcut")
            << "<unshared>" << Keys::editor << "<none>" << "Tavelon couldn't read the selection from Editor.";
        QTest::newRow("copies only an image")
            << "<unshared>" << Keys::editor << "<image>" << "Tavelon couldn't read the selection from Editor.";
        QTest::newRow("copies white space")
            << "<unshared>" << Keys::editor << " \n " << "Tavelon couldn't read the selection from Editor.";
        QTest::newRow("never hands the copy over")
            << "<unshared>" << Keys::editor << "<silent>"
            << "The program that holds the clipboard isn't responding, so Tavelon couldn't copy the selection from "
               "Editor.";
        QTest::newRow("copies more than the ceiling")
            << "<unshared>" << Keys::editor << "<oversized>"
            << "The text selected in Editor is larger than 8 MB, so Tavelon sent nothing.";
        QTest::newRow("PRIMARY confirmed by the copy")
            << "hello brave world" << Keys::editor << "brave" << "brave";
        QTest::newRow("PRIMARY kept after the selection collapsed")
            << "hello brave world" << Keys::editor << "<none>" << "No text is selected in Editor.";
        QTest::newRow("a terminal without a copy key: PRIMARY alone")
            << "ls -l" << Keys::none << "<none>" << "ls -l";
        QTest::newRow("a terminal without a copy key, nothing selected: no key")
            << "<no text>" << Keys::none << "<none>" << "No text is selected in Editor.";
    }

    void copyFallback()
    {
        QFETCH(QString, primary);
        QFETCH(KeySender::Keys, keys);
        QFETCH(QString, copied);
        QFETCH(QString, result);
        this->keys.keys = keys;
        if (primary == QLatin1String("<no text>")) {
            app->focused = Element::make();
            app->focused->selected = AXAnswer<QString>::none();
        } else if (primary != QLatin1String("<unshared>")) {
            app->focused = withText(primary);
            app->focused->outlivesSelection = true;
        }
        this->keys.onSend = [&](KeySender::Shortcut shortcut) {
            QCOMPARE(shortcut, KeySender::Shortcut::copy);
            QVERIFY(pasteboard.contents.isEmpty()); // cleared first
            if (copied == QLatin1String("<image>"))
                pasteboard.restore(snapshotOf({{QStringLiteral("image/png"), "png"}}));
            else if (copied != QLatin1String("<none>"))
                pasteboard.setText(copied);
            if (copied == QLatin1String("<silent>"))
                pasteboard.reads = FakePasteboard::Owner::silent;
            if (copied == QLatin1String("<oversized>"))
                pasteboard.reads = FakePasteboard::Owner::oversized;
        };
        const double started = scheduler.now();
        const auto captured = capture(true);
        QCOMPARE(captured->value ? *captured->value : errorOf(captured), result);
        QCOMPARE(pasteboard.contents, earlier);
        QCOMPARE(this->keys.sent.size(), keys == KeySender::Keys::none ? 0 : 1);
        if (copied.startsWith(u'<') && copied != QLatin1String("<oversized>") && keys != KeySender::Keys::none)
            QVERIFY(qAbs(scheduler.now() - started - 0.7) < 0.01); // polled until the deadline
    }

    void clipboardManagerRefillIsNoCopy_data()
    {
        QTest::addColumn<bool>("targetCopies");
        QTest::addColumn<QString>("result");
        QTest::newRow("only the manager") << false << "Tavelon couldn't read the selection from Editor.";
        QTest::newRow("manager, then the target") << true << "selected";
    }

    void clipboardManagerRefillIsNoCopy()
    {
        QFETCH(bool, targetCopies);
        QFETCH(QString, result);
        keys.onSend = [&](KeySender::Shortcut) {
            pasteboard.setText(QStringLiteral("earlier"));
            pasteboard.owner = 999; // the manager
            if (!targetCopies)
                return;
            scheduler.schedule(0.1, [&] {
                pasteboard.setText(QStringLiteral("selected"));
                pasteboard.owner = editor.pid;
            });
        };
        const auto captured = capture(true);
        QCOMPARE(captured->value ? *captured->value : errorOf(captured), result);
    }

    void unknownOwnerStillCounts()
    {
        keys.onSend = [&](KeySender::Shortcut) {
            pasteboard.setText(QStringLiteral("selected"));
            pasteboard.owner.reset();
        };
        QCOMPARE(capture(true)->value, QStringLiteral("selected"));
    }

    void fallbackAfterNothingSelectedKeepsThatError()
    {
        auto blank = withText(QString());
        blank->range = TextRange{0, 0};
        app->focused = blank;
        QCOMPARE(errorOf(capture(true)), QStringLiteral("No text is selected in Editor."));
        QCOMPARE(keys.sent.size(), 1);
    }

    void emptyClipboardStaysEmpty()
    {
        pasteboard.contents = {};
        keys.onSend = [&](KeySender::Shortcut) { pasteboard.setText(QStringLiteral("selected")); };
        QCOMPARE(capture(true)->value, QStringLiteral("selected"));
        QVERIFY(pasteboard.contents.isEmpty());
        QCOMPARE(pasteboard.restores, 1);
    }

    void unreadableClipboardIsLeftAlone_data()
    {
        QTest::addColumn<FakePasteboard::Owner>("reads");
        QTest::addColumn<QString>("error");
        QTest::newRow("its owner doesn't answer")
            << FakePasteboard::Owner::silent
            << "The program that holds the clipboard isn't responding, so Tavelon couldn't copy the selection from "
               "Editor.";
        QTest::newRow("over what can be put back")
            << FakePasteboard::Owner::oversized
            << "The clipboard holds more than 64 MB, more than Tavelon can put back, so it didn't copy the selection "
               "from Editor.";
        QTest::newRow("more formats than can be put back")
            << FakePasteboard::Owner::tooManyFormats
            << "The clipboard offers more than 1024 formats, more than Tavelon can put back, so it didn't copy the "
               "selection from Editor.";
        QTest::newRow("a longer format name than can be put back")
            << FakePasteboard::Owner::formatNameTooLong
            << "The clipboard offers a format whose name is longer than 1024 bytes, more than Tavelon can put back, "
               "so it didn't copy the selection from Editor.";
    }

    void unreadableClipboardIsLeftAlone()
    {
        QFETCH(FakePasteboard::Owner, reads);
        QFETCH(QString, error);
        // The application's selection is not its own (PRIMARY says so), as
        // when it offers none: the copy is what would tell.
        app->focused = Element::make();
        app->focused->selected = AXAnswer<QString>::none();
        pasteboard.reads = reads;
        const quint64 changes = pasteboard.changes;
        QCOMPARE(errorOf(capture(true)), error);
        QVERIFY(keys.sent.isEmpty());
        QCOMPARE(pasteboard.restores, 0);
        QCOMPARE(pasteboard.changes, changes);
        QCOMPARE(pasteboard.contents, earlier);
    }

    void inactiveTargetIsActivatedFirst()
    {
        activator.activePid = 1;
        keys.onSend = [&](KeySender::Shortcut) { pasteboard.setText(QStringLiteral("x")); };
        auto result = test::start(service->capture(editor, true, {}));
        QVERIFY(!result->done);
        QCOMPARE(activator.activated, QList<qint64>{editor.pid});
        scheduler.advance(0.119);
        QVERIFY(keys.sent.isEmpty());
        scheduler.advance(0.1);
        QCOMPARE(result->value, QStringLiteral("x"));
    }

    void cancellationDuringActivationLeavesTheClipboard()
    {
        activator.activePid = 1;
        CancellationToken token;
        auto result = test::start(service->capture(editor, true, token));
        token.cancel();
        QVERIFY(result->threw<Cancelled>());
        QCOMPARE(pasteboard.contents, earlier);
        QCOMPARE(pasteboard.restores, 0);
        QVERIFY(keys.sent.isEmpty());
    }

    void cancellationWhilePollingRestores()
    {
        CancellationToken token;
        auto result = test::start(service->capture(editor, true, token));
        scheduler.advance(0.1);
        token.cancel();
        scheduler.advance(0.02);
        QVERIFY(result->threw<Cancelled>());
        QCOMPARE(pasteboard.contents, earlier);
    }

    void refusedKeysRestoreAndReport()
    {
        keys.canSend = false;
        QCOMPARE(errorOf(capture(true)), SelectionError::notPermitted().description());
        QCOMPARE(pasteboard.contents, earlier);
        QCOMPARE(pasteboard.restores, 1);
    }

};

QTEST_GUILESS_MAIN(TestSelection)
#include "tst_selection.moc"
