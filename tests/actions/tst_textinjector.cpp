#include "TestDoubles.h"
#include "actions/ClipboardLane.h"
#include "actions/ErrorDescription.h"
#include "actions/SelectionError.h"
#include "actions/TextInjector.h"
#include "async/Cancelled.h"
#include "async/FakeScheduler.h"
#include "platform/PlatformError.h"
#include "platform/fake/FakeAccessibility.h"
#include "platform/fake/FakeApplicationActivator.h"
#include "platform/fake/FakeKeySender.h"
#include "platform/fake/FakePasteboard.h"

#include <QTest>

using namespace vima;
using Element = FakeAccessibilityElement;

namespace {

const RunningApplication editor{77, QStringLiteral("org.example.Editor"), QStringLiteral("Editor")};

PasteboardSnapshot earlierContents()
{
    PasteboardSnapshot snapshot;
    snapshot.items.append({{QStringLiteral("text/plain;charset=utf-8"), "earlier"},
                           {QStringLiteral("image/png"), QByteArray("\x89PNG", 4)}});
    return snapshot;
}

} // namespace

class TestTextInjector : public QObject {
    Q_OBJECT

    FakeAccessibility accessibility;
    FakePasteboard pasteboard;
    FakeKeySender keys;
    FakeApplicationActivator activator;
    FakeScheduler scheduler;
    ClipboardLane lane{scheduler};
    std::unique_ptr<TextInjector> injector;
    Element::Pointer field;
    // What the clipboard held when the target pasted.
    std::optional<QString> pasted;

private Q_SLOTS:
    void init()
    {
        accessibility = {};
        pasteboard = {};
        pasteboard.contents = earlierContents();
        keys = {};
        pasted.reset();
        keys.onSend = [this](KeySender::Shortcut shortcut) {
            QCOMPARE(shortcut, KeySender::Shortcut::paste);
            // The target asks for the text a little later.
            scheduler.schedule(0.1, [this] {
                pasted = pasteboard.plainText();
                ++pasteboard.requests;
            });
        };
        activator = {};
        activator.activePid = editor.pid;
        injector = std::make_unique<TextInjector>(
            TextInjector::Collaborators{accessibility, pasteboard, keys, activator, scheduler, lane});
        auto app = Element::make();
        field = Element::make();
        app->focused = field;
        accessibility.applications.insert(editor.pid, app);
    }

    void writesOnlyIntoTheTargetsWindow_data()
    {
        using Activation = FakeApplicationActivator::Activation;
        QTest::addColumn<Activation>("activation");
        QTest::addColumn<bool>("frontTakenWhileWaiting");
        QTest::addColumn<int>("restores");
        QTest::newRow("its window was closed") << Activation::isRefused << false << 0;
        QTest::newRow("the window manager ignores it") << Activation::isIgnored << false << 0;
        QTest::newRow("front taken while the clipboard was busy") << Activation::raises << true << 1;
    }

    void writesOnlyIntoTheTargetsWindow()
    {
        QFETCH(FakeApplicationActivator::Activation, activation);
        QFETCH(bool, frontTakenWhileWaiting);
        QFETCH(int, restores);
        RunningApplication target = editor;
        target.window = 7;
        activator.activeWindow = frontTakenWhileWaiting ? 7 : 8; // 8: another window of the program
        activator.activation = activation;
        auto other = test::start(lane.take({}));
        if (!frontTakenWhileWaiting)
            other->value.reset();
        auto done = test::start(injector->replace(target, QStringLiteral("answer"), {}));
        scheduler.advance(0.5);
        if (frontTakenWhileWaiting) {
            activator.activeWindow = 8;
            other->value.reset();
        }
        scheduler.advance(3);
        QVERIFY(done->threw<PlatformError>());
        QCOMPARE(ErrorDescription::of(done->error).message,
                 QStringLiteral("The Editor window you started from isn't in front any more, so Tavelon didn't paste."));
        QVERIFY(field->written.isEmpty());
        QVERIFY(keys.sent.isEmpty());
        QCOMPARE(pasteboard.contents, earlierContents());
        QCOMPARE(pasteboard.restores, restores);
    }

    void aSecondPasteWaitsForTheFirstsRestore()
    {
        auto first = test::start(injector->pasteViaCommandV(QStringLiteral("first"), std::nullopt, {}));
        scheduler.advance(0.1);
        auto second = test::start(injector->pasteViaCommandV(QStringLiteral("second"), std::nullopt, {}));
        scheduler.advance(0.2);
        QVERIFY(!first->done && !second->done);
        QCOMPARE(keys.sent.size(), 1);
        scheduler.advance(1.5);
        QVERIFY(second->done && !second->error);
        QCOMPARE(pasted, QStringLiteral("second"));
        QCOMPARE(pasteboard.contents, earlierContents());
    }

    void aClipboardTakenTooLongIsLeftAlone()
    {
        auto other = test::start(lane.take({}));
        auto done = test::start(injector->pasteViaCommandV(QStringLiteral("x"), std::nullopt, {}));
        scheduler.advance(ClipboardLane::waitLimit + 0.1);
        QVERIFY(done->threw<PlatformError>());
        QVERIFY(keys.sent.isEmpty());
        QCOMPARE(pasteboard.changes, 0u);
    }

    void settableFieldIsWrittenWithoutTheClipboard()
    {
        field->settable = true;
        auto done = test::start(injector->replace(editor, QStringLiteral("new text"), {}));
        QVERIFY(done->done && !done->error); // an active target is written at once
        QCOMPARE(field->written, QList<QString>{QStringLiteral("new text")});
        QVERIFY(keys.sent.isEmpty());
        QCOMPARE(pasteboard.changes, 0u);
    }

    void roadChoice_data()
    {
        QTest::addColumn<std::optional<bool>>("settable");
        QTest::addColumn<bool>("acceptsWrite");
        QTest::newRow("not settable") << std::optional(false) << true;
        QTest::newRow("settable question fails") << std::optional<bool>() << true;
        QTest::newRow("write refused") << std::optional(true) << false;
    }

    void roadChoice()
    {
        QFETCH(std::optional<bool>, settable);
        QFETCH(bool, acceptsWrite);
        field->settable = settable;
        field->acceptsWrite = acceptsWrite;
        auto done = test::start(injector->replace(editor, QStringLiteral("pasted text"), {}));
        scheduler.advance(0.349);
        QCOMPARE(pasted, QStringLiteral("pasted text"));
        QVERIFY(!done->done); // the clipboard stays ours for the settle
        scheduler.advance(0.001);
        QVERIFY(done->done && !done->error);
        QCOMPARE(pasteboard.contents, earlierContents());
        QCOMPARE(keys.sent, QList<KeySender::Shortcut>{KeySender::Shortcut::paste});
    }

    void emptyClipboardStaysEmpty()
    {
        pasteboard.contents = {};
        auto done = test::start(injector->pasteViaCommandV(QStringLiteral("x"), std::nullopt, {}));
        scheduler.runAll();
        QVERIFY(done->done);
        QVERIFY(pasteboard.contents.isEmpty());
        QCOMPARE(pasteboard.restores, 1);
    }

    void slowTargetIsWaitedForBeforeRestoring()
    {
        keys.onSend = [this](KeySender::Shortcut) {
            scheduler.schedule(0.9, [this] {
                pasted = pasteboard.plainText();
                ++pasteboard.requests;
            });
        };
        auto done = test::start(injector->pasteViaCommandV(QStringLiteral("late"), std::nullopt, {}));
        scheduler.advance(0.9);
        QCOMPARE(pasted, QStringLiteral("late"));
        QVERIFY(!done->done);
        QCOMPARE(pasteboard.restores, 0);
        scheduler.advance(0.2); // a poll sees the request, then a short pause
        QVERIFY(done->done);
        QCOMPARE(pasteboard.contents, earlierContents());
    }

    // What the target does with the paste, and what its accessibility
    // interface says of its focus; the error (empty: pasted), and how long
    // the clipboard stays lent (below 0: never taken).
    void pasteLandsOnlyWhereItIsTaken_data()
    {
        using Focus = KeySender::Focus;
        using Keys = KeySender::Keys;
        QTest::addColumn<Keys>("keys");
        QTest::addColumn<Focus>("focus");
        QTest::addColumn<bool>("asks");
        QTest::addColumn<std::optional<bool>>("editable");
        QTest::addColumn<QString>("error");
        QTest::addColumn<double>("lent");
        const std::optional<bool> unsaid;
        QTest::newRow("an editor asks for it") << Keys::editor << Focus::inTarget << true << unsaid << QString() << 0.35;
        QTest::newRow("a terminal asks for it")
            << Keys::terminal << Focus::inTarget << true << unsaid << QString() << 0.35;
        QTest::newRow("never asked for it")
            << Keys::editor << Focus::inTarget << false << unsaid << "The Editor window didn't take the paste." << 1.5;
        QTest::newRow("a terminal without a paste key")
            << Keys::none << Focus::inTarget << true << unsaid
            << "The Editor window has no paste key that Tavelon knows, so Tavelon didn't paste." << -1.0;
        QTest::newRow("the focus says it takes typing")
            << Keys::editor << Focus::inTarget << true << std::optional(true) << QString() << 0.35;
        QTest::newRow("the focus says it doesn't take typing")
            << Keys::editor << Focus::inTarget << true << std::optional(false)
            << "The field in Editor doesn't take typing, so Tavelon didn't paste." << -1.0;
        QTest::newRow("a terminal's focus says it doesn't take typing")
            << Keys::terminal << Focus::inTarget << true << std::optional(false) << QString() << 0.35;
        QTest::newRow("its window closed, the active window left stale")
            << Keys::editor << Focus::targetClosed << true << unsaid
            << "The Editor window you started from was closed, so Tavelon didn't paste." << 0.0;
        QTest::newRow("the input focus elsewhere")
            << Keys::editor << Focus::elsewhere << true << unsaid
            << "The Editor window you started from isn't in front any more, so Tavelon didn't paste." << 0.3;
    }

    void pasteLandsOnlyWhereItIsTaken()
    {
        QFETCH(KeySender::Keys, keys);
        QFETCH(KeySender::Focus, focus);
        QFETCH(bool, asks);
        QFETCH(std::optional<bool>, editable);
        QFETCH(QString, error);
        QFETCH(double, lent);
        this->keys.keys = keys;
        this->keys.focus = focus;
        if (!asks)
            this->keys.onSend = {};
        if (editable)
            accessibility.focusEditable.insert(editor.pid, *editable);
        const double started = scheduler.now();
        auto done = test::start(injector->replace(editor, QStringLiteral("answer"), {}));
        double restoredAt = pasteboard.restores > 0 ? 0 : -1;
        while (!done->done && scheduler.now() - started < 3) {
            scheduler.advance(0.01);
            if (restoredAt < 0 && pasteboard.restores > 0)
                restoredAt = scheduler.now() - started;
        }
        QVERIFY(done->done);
        QCOMPARE(done->error ? ErrorDescription::of(done->error).message : QString(), error);
        QCOMPARE(pasteboard.contents, earlierContents());
        QCOMPARE(this->keys.sent.size(), error.isEmpty() || !asks ? 1 : 0);
        if (lent >= 0)
            QVERIFY2(qAbs(restoredAt - lent) < 0.03, qPrintable(QString::number(restoredAt)));
        else
            QCOMPARE(pasteboard.changes, 0u);
    }

    void notTrustedTouchesNothing()
    {
        accessibility.trusted = false;
        activator.activePid = 1;
        auto done = test::start(injector->replace(editor, QStringLiteral("x"), {}));
        QVERIFY(done->threw<SelectionError>());
        QVERIFY(activator.activated.isEmpty());
        QVERIFY(keys.sent.isEmpty());
        QCOMPARE(pasteboard.changes, 0u);
    }

    void refusedKeysRestoreAtOnce()
    {
        keys.canSend = false;
        auto done = test::start(injector->pasteViaCommandV(QStringLiteral("x"), std::nullopt, {}));
        QVERIFY(done->threw<SelectionError>());
        QCOMPARE(pasteboard.contents, earlierContents());
    }

    void unresponsiveClipboardIsNotPastedOver()
    {
        pasteboard.reads = FakePasteboard::Owner::silent;
        auto done = test::start(injector->pasteViaCommandV(QStringLiteral("x"), std::nullopt, {}));
        QVERIFY(done->threw<PlatformError>());
        QCOMPARE(pasteboard.changes, 0u);
        QCOMPARE(pasteboard.restores, 0);
        QVERIFY(keys.sent.isEmpty());
    }

    void inactiveTargetWaitsAndCanBeCancelled()
    {
        field->settable = true;
        activator.activePid = 1;
        auto done = test::start(injector->replace(editor, QStringLiteral("x"), {}));
        QCOMPARE(activator.activated, QList<qint64>{editor.pid});
        scheduler.advance(0.139);
        QVERIFY(field->written.isEmpty());
        scheduler.advance(0.001);
        QCOMPARE(field->written.size(), 1);

        activator.activePid = 1;
        CancellationToken token;
        auto cancelled = test::start(injector->replace(editor, QStringLiteral("y"), token));
        token.cancel();
        QVERIFY(cancelled->threw<Cancelled>());
        QCOMPARE(field->written.size(), 1);
        QCOMPARE(pasteboard.changes, 0u);
    }

    void noTargetPastesIntoWhateverIsInFront()
    {
        field->settable = true;
        auto done = test::start(injector->replace(std::nullopt, QStringLiteral("x"), {}));
        scheduler.runAll();
        QVERIFY(done->done);
        QVERIFY(field->written.isEmpty());
        QCOMPARE(pasted, QStringLiteral("x"));
    }
};

QTEST_GUILESS_MAIN(TestTextInjector)
#include "tst_textinjector.moc"
