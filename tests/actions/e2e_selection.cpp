// Reading and writing the selection of another application on a real X
// server: PRIMARY for reading, Ctrl+C when that fails, Ctrl+V for writing,
// with the clipboard given back exactly as it was; and a shell item's output
// in the result panel; Strip Format strips text and leaves anything else alone.
#include "../support/Await.h"
#include "BuildFolder.h"
#include "ClipboardContents.h"
#include "SupportProgram.h"
#include "TextTargetClient.h"
#include "../e2e/AtspiClient.h"
#include "actions/AIRoad.h"
#include "actions/ActionRunner.h"
#include "actions/ClipboardLane.h"
#include "actions/ResultWindowController.h"
#include "actions/SelectionError.h"
#include "actions/SelectionService.h"
#include "actions/TextInjector.h"
#include "async/Cancelled.h"
#include "ai/LLMService.h"
#include "http/LoopbackHttpServer.h"
#include "model/ActionPreset.h"
#include "platform/PlatformError.h"
#include "platform/fake/FakeApplicationCatalog.h"
#include "platform/x11/UnavailableAppleScriptEngine.h"
#include "platform/x11/X11Accessibility.h"
#include "platform/x11/X11ActiveWindowSource.h"
#include "platform/x11/X11ApplicationActivator.h"
#include "platform/x11/X11ClipboardKeeper.h"
#include "platform/x11/X11Connection.h"
#include "platform/x11/X11KeySender.h"
#include "platform/x11/X11OwnConnection.h"
#include "platform/x11/X11Pasteboard.h"
#include "platform/x11/X11SelectionReader.h"
#include "platform/x11/X11Windows.h"
#include "platform/x11/XdgApplicationLauncher.h"
#include "platform/x11/XdgDesktopOpener.h"

#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QDeadlineTimer>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMap>
#include <QProcess>
#include <QScopeGuard>
#include <QScreen>
#include <QTest>
#include <QTextEdit>
#include <QTimer>
#include <QUuid>
#include <atomic>
#include <cstring>
#include <thread>

using namespace vima;

namespace {

using clipboard_contents::changesSince;
using clipboard_contents::runTool;
using test::await;

} // namespace

class E2ESelection : public QObject {
    Q_OBJECT

    std::unique_ptr<SupportProgram> target;
    RunningApplication app;
    X11Accessibility accessibility;
    std::unique_ptr<X11Pasteboard> pasteboard;
    X11KeySender keys;
    X11ApplicationActivator activator;
    ClipboardLane lane;
    std::unique_ptr<SelectionService> selection;
    std::unique_ptr<TextInjector> injector;

    void command(const QByteArray &line) { text_target::command(*target, line); }

    xcb_window_t windowOf(int window)
    {
        command("use " + QByteArray::number(window));
        target->send("window");
        return target->waitForLine(QStringLiteral("window ")).mid(7).toUInt();
    }

    // The user clicks one of the target's windows and selects all its text:
    // `front` is the application as the ring, opening now, would see it.
    void selectAllIn(int window, RunningApplication &front)
    {
        const xcb_window_t id = windowOf(window);
        command("activate");
        QTRY_COMPARE(x11::activeWindow(), id);
        QCOMPARE(runTool(QStringLiteral("xdotool"), {"key", "--clearmodifiers", "ctrl+a"}).exitCode, 0);
        QTRY_COMPARE(X11SelectionReader().ownerProcess("PRIMARY"), std::optional<qint64>(app.pid));
        front = X11ActiveWindowSource(nullptr).frontmostApplication().value_or(RunningApplication{});
        QCOMPARE(front.window, id);
    }
    QString targetText() { return text_target::text(*target); }

    // The application whose window is active now, as the ring would see it.
    static RunningApplication frontApplication()
    {
        return X11ActiveWindowSource(nullptr).frontmostApplication().value_or(RunningApplication{});
    }

    // The description of the error `task` ends with; empty when it ends well.
    template<typename T>
    static QString errorOf(QCoro::Task<T> task)
    {
        try {
            await(std::move(task));
        } catch (const UserError &e) {
            return e.description();
        }
        return {};
    }

    // As any program can: a SelectionClear for CLIPBOARD sent to its owner.
    static void forgeSelectionClear()
    {
        xcb_connection_t *connection = x11::connection();
        const auto owner = ownedReply(xcb_get_selection_owner_reply(
            connection, xcb_get_selection_owner(connection, x11::atom("CLIPBOARD")), nullptr));
        QVERIFY(owner && owner->owner != XCB_NONE);
        xcb_selection_clear_event_t clear{};
        clear.response_type = XCB_SELECTION_CLEAR;
        clear.time = XCB_CURRENT_TIME;
        clear.owner = owner->owner;
        clear.selection = x11::atom("CLIPBOARD");
        char event[32] = {};
        std::memcpy(event, &clear, sizeof(clear));
        xcb_send_event(connection, 0, owner->owner, XCB_EVENT_MASK_NO_EVENT, event);
        // Sent before any request that follows.
        std::free(xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr));
    }

    void setText(const QString &text)
    {
        const QByteArray json = QJsonDocument(QJsonArray{text}).toJson(QJsonDocument::Compact);
        command("set " + json.mid(1, json.size() - 2));
    }

    // Selects everything in the target as the user would, with the keyboard.
    void selectAllByKeys()
    {
        activator.activate(app);
        QTRY_VERIFY(activator.isActive(app));
        QCOMPARE(runTool(QStringLiteral("xdotool"), {"key", "--clearmodifiers", "ctrl+a"}).exitCode, 0);
        QTRY_COMPARE(X11SelectionReader().ownerProcess("PRIMARY"), std::optional<qint64>(app.pid));
    }

private Q_SLOTS:
    void initTestCase()
    {
        target = std::make_unique<SupportProgram>(QStringLiteral("text_target"), QStringList{});
        QVERIFY(target->waitForLine(QStringLiteral("ready ")).startsWith(QStringLiteral("ready ")));
        app = {target->pid(), QStringLiteral("text_target"), QStringLiteral("Target")};
        pasteboard = std::make_unique<X11Pasteboard>();
        selection = std::make_unique<SelectionService>(
            SelectionService::Collaborators{accessibility, *pasteboard, keys, activator, Scheduler::system(), lane});
        injector = std::make_unique<TextInjector>(
            TextInjector::Collaborators{accessibility, *pasteboard, keys, activator, Scheduler::system(), lane});
        QVERIFY(accessibility.isTrusted());
    }

    void selectionIsReadThroughPrimary()
    {
        setText(QStringLiteral("The quick brown fox"));
        selectAllByKeys();
        QCOMPARE(await(selection->capture(app, false, {})), QStringLiteral("The quick brown fox"));
    }

    void anotherProgramsSelectionIsNotTheTargets()
    {
        QCOMPARE(runTool(QStringLiteral("xclip"), {"-selection", "primary", "-i"}, "stale text").exitCode, 0);
        QTRY_VERIFY(X11SelectionReader().ownerProcess("PRIMARY") != std::optional<qint64>(app.pid));
        try {
            await(selection->capture(app, false, {}));
            QFAIL("read another program's selection");
        } catch (const SelectionError &error) {
            QCOMPARE(error.description(), QStringLiteral("No text is selected in Target."));
        }
    }

    void copyFallbackUsesTheKeyboardAndGivesTheClipboardBack()
    {
        command("copy-rich");
        const auto before = clipboard_contents::read();
        QVERIFY(before.contains(QStringLiteral("image/png")));
        // The target keeps its selection while xclip owns PRIMARY.
        QTRY_VERIFY(X11SelectionReader().ownerProcess("PRIMARY") != std::optional<qint64>(app.pid));
        QCOMPARE(await(selection->capture(app, true, {})), QStringLiteral("The quick brown fox"));
        QCOMPARE(changesSince(before, clipboard_contents::read()).join(u','), QString());
    }

    void pasteReplacesTheSelectionAndGivesTheClipboardBack()
    {
        command("copy-rich");
        const auto before = clipboard_contents::read();
        QVERIFY(before.contains(QStringLiteral("image/png")));
        QVERIFY(before.contains(QStringLiteral("UTF8_STRING")));
        selectAllByKeys();
        await(injector->replace(app, QStringLiteral("Written by Tavelon"), {}));
        QTRY_COMPARE(targetText(), QStringLiteral("Written by Tavelon"));
        QCOMPARE(changesSince(before, clipboard_contents::read()).join(u','), QString());
    }

    void emptyClipboardStaysEmpty()
    {
        command("clear-clipboard");
        const auto empty = SelectionRead<PasteboardSnapshot>::of({});
        QTRY_COMPARE(X11SelectionReader().snapshot("CLIPBOARD", QDeadlineTimer(1000), largestClipboardSnapshot), empty);
        selectAllByKeys();
        await(injector->replace(app, QStringLiteral("Once more"), {}));
        QTRY_COMPARE(targetText(), QStringLiteral("Once more"));
        QCOMPARE(X11SelectionReader().snapshot("CLIPBOARD", QDeadlineTimer(1000), largestClipboardSnapshot), empty);
        QVERIFY(clipboard_contents::read().isEmpty());
    }

    // A clipboard that can't be read, or couldn't be kept once Tavelon quits,
    // is never taken for a paste.
    void clipboardThatCannotBePutBackIsLeftAlone_data()
    {
        QTest::addColumn<bool>("hangs"); // else offers a format of a 1025-byte name
        QTest::addColumn<SelectionRead<PasteboardSnapshot>::Status>("status");
        QTest::newRow("an owner that never answers") << true << SelectionRead<PasteboardSnapshot>::Status::noAnswer;
        QTest::newRow("a format name longer than can be kept")
            << false << SelectionRead<PasteboardSnapshot>::Status::formatNameTooLong;
    }

    void clipboardThatCannotBePutBackIsLeftAlone()
    {
        QFETCH(bool, hangs);
        setText(QStringLiteral("unchanged"));
        std::optional<SupportProgram> hung;
        QProcess xclip;
        const auto endXclip = qScopeGuard([&xclip] {
            xclip.kill();
            xclip.waitForFinished();
        });
        qint64 owner = 0;
        if (hangs) {
            hung.emplace(QStringLiteral("bad_selection_owner"), QStringList{"CLIPBOARD", "silent"});
            QCOMPARE(hung->waitForLine(QStringLiteral("owner")), QStringLiteral("owner"));
            owner = hung->pid();
        } else {
            const QString longName(1025, u'n');
            xclip.start(QStringLiteral("xclip"), {"-selection", "clipboard", "-t", longName, "-i", "-quiet"});
            QVERIFY(xclip.waitForStarted());
            xclip.write("a format of a long name");
            xclip.closeWriteChannel();
            owner = xclip.processId();
            QTRY_COMPARE(X11SelectionReader().ownerProcess("CLIPBOARD"), std::optional(owner));
        }
        int ticks = 0;
        QTimer ticker;
        connect(&ticker, &QTimer::timeout, this, [&] { ++ticks; });
        ticker.start(10);
        QTEST(await(pasteboard->capture({})).status, "status");
        if (hangs)
            QVERIFY2(ticks > 10, "the GUI thread stood still while the owner was asked");

        selectAllByKeys();
        QVERIFY_THROWS_EXCEPTION(PlatformError, await(injector->replace(app, QStringLiteral("lost"), {})));
        QCOMPARE(X11SelectionReader().ownerProcess("CLIPBOARD"), std::optional<qint64>(owner));
        QCOMPARE(targetText(), QStringLiteral("unchanged"));
    }

    // The selected text's owner stalls or floods: the GUI thread goes on
    // meanwhile, the read ends or is cancelled, and nothing over the ceiling
    // is kept.
    void aSelectionOwnerThatMisbehavesHoldsNothingUp_data()
    {
        QTest::addColumn<QString>("mode"); // of bad_selection_owner
        QTest::addColumn<bool>("cancel"); // Escape, once the GUI thread has gone on for 100 ms
        QTest::addColumn<QString>("error"); // empty: cancelled
        QTest::newRow("never answers")
            << "silent" << false
            << "Owner doesn't share its selection with Tavelon, and the clipboard fallback is turned off.";
        QTest::newRow("never answers, cancelled") << "silent" << true << QString();
        QTest::newRow("answers without end")
            << "endless" << false << "The text selected in Owner is larger than 8 MB, so Tavelon sent nothing.";
        QTest::newRow("owns it, holds no text (a GtkEntry without a selection)")
            << "empty" << false << "No text is selected in Owner.";
    }

    void aSelectionOwnerThatMisbehavesHoldsNothingUp()
    {
        QFETCH(QString, mode);
        QFETCH(bool, cancel);
        QFETCH(QString, error);
        SupportProgram owner(QStringLiteral("bad_selection_owner"), {QStringLiteral("PRIMARY"), mode});
        QCOMPARE(owner.waitForLine(QStringLiteral("owner")), QStringLiteral("owner"));
        const RunningApplication front{owner.pid(), QStringLiteral("bad_selection_owner"), QStringLiteral("Owner")};
        // The flood may take long on a busy machine: only the ceiling may end it.
        const double timeout = mode == QLatin1String("endless") ? 60 : 0.6;
        SelectionService service({accessibility, *pasteboard, keys, activator, Scheduler::system(), lane}, timeout);
        CancellationToken token;
        int ticks = 0;
        QTimer ticker;
        connect(&ticker, &QTimer::timeout, this, [&] {
            if (++ticks == 10 && cancel)
                token.cancel();
        });
        ticker.start(10);
        QString ended;
        try {
            await(service.capture(front, false, token));
        } catch (const SelectionError &e) {
            ended = e.description();
        } catch (const Cancelled &) {
        }
        QCOMPARE(ended, error);
        if (mode == QLatin1String("silent"))
            QVERIFY2(ticks >= 10, "the GUI thread stood still while the owner was asked");
    }

    // What Tavelon leaves on the clipboard is kept after it quits: every
    // format, until another program copies.
    void theKeeperServesEveryFormatUntilAnotherProgramCopies_data()
    {
        // a command of the target, or "xclip" (a small text, held by an xclip of our own)
        QTest::addColumn<QByteArray>("owner");
        // "read in pieces": UTF8_STRING is also read in small pieces;
        // "forged clear": another program sends the keeper a SelectionClear;
        // "owner gone": the owner ends before the keeper comes;
        // "taken later": a program that started after Tavelon's time holds
        // the clipboard under the window named, as one that got Tavelon's
        // old window id would
        QTest::addColumn<QString>("twist");
        QTest::newRow("a text beside an image") << QByteArray("copy-rich") << QString();
        QTest::newRow("a text larger than a chunk") << QByteArray("copy-large 3") << QString();
        QTest::newRow("a text larger than a chunk, read in small pieces")
            << QByteArray("copy-large 3") << "read in pieces";
        QTest::newRow("a 20 MB text under four names") << QByteArray("copy-large 20") << QString();
        QTest::newRow("a forged SelectionClear") << QByteArray("copy-rich") << "forged clear";
        QTest::newRow("an owner that ended first") << QByteArray("xclip") << "owner gone";
        QTest::newRow("a window that took the clipboard later") << QByteArray("copy-rich") << "taken later";
    }

    void theKeeperServesEveryFormatUntilAnotherProgramCopies()
    {
        QFETCH(QByteArray, owner);
        QFETCH(QString, twist);
        const xcb_timestamp_t beforeCopy = X11OwnConnection().serverTime();
        QProcess xclip;
        const auto endXclip = qScopeGuard([&xclip] {
            xclip.kill();
            xclip.waitForFinished();
        });
        if (owner == "xclip") {
            xclip.start(QStringLiteral("xclip"), {"-selection", "clipboard", "-i", "-quiet"});
            QVERIFY(xclip.waitForStarted());
            xclip.write("held by a program that ends");
            xclip.closeWriteChannel();
            QTRY_COMPARE(X11SelectionReader().ownerProcess("CLIPBOARD"), std::optional(xclip.processId()));
        }
        std::optional<SupportProgram> later;
        if (twist == QLatin1String("taken later")) {
            later.emplace(QStringLiteral("text_target"), QStringList{});
            QVERIFY(later->waitForLine(QStringLiteral("ready ")).startsWith(QStringLiteral("ready ")));
            text_target::command(*later, owner);
        } else if (owner != "xclip")
            command(owner);
        const auto before = clipboard_contents::read();
        QVERIFY(!before.isEmpty());
        // What Tavelon holds, read as it reads a clipboard to put back; the
        // generous deadline is for a loaded machine.
        const SelectionRead<PasteboardSnapshot> held =
            X11SelectionReader().snapshot("CLIPBOARD", QDeadlineTimer(60000), largestClipboardSnapshot);
        QVERIFY(held.value && !held.value->isEmpty());
        const std::unique_ptr<xcb_get_selection_owner_reply_t, decltype(&std::free)> from(
            xcb_get_selection_owner_reply(x11::connection(),
                                          xcb_get_selection_owner(x11::connection(), x11::atom("CLIPBOARD")), nullptr),
            &std::free);
        QVERIFY(from && from->owner != XCB_NONE);
        const xcb_timestamp_t heldAt =
            twist == QLatin1String("taken later") ? beforeCopy : X11OwnConnection().serverTime();
        if (twist == QLatin1String("owner gone")) {
            xclip.terminate();
            QVERIFY(xclip.waitForFinished());
            QTRY_COMPARE(X11SelectionReader().ownerProcess("CLIPBOARD"), std::nullopt);
        }
        struct Keeping {
            std::atomic_bool ended = false;
            std::atomic_bool served = false;
        };
        const auto keeping = std::make_shared<Keeping>();
        std::thread thread([keeping, window = from->owner, heldAt, item = held.value->items.first()] {
            {
                X11ClipboardKeeper keeper;
                keeping->served = keeper.takeOver(window, heldAt, item) && keeper.serve();
            }
            keeping->ended = true;
        });
        // A keeper that never ends must not end the test program with it.
        const auto letGo = qScopeGuard([&thread, keeping] {
            if (keeping->ended)
                thread.join();
            else
                thread.detach();
        });
        if (twist == QLatin1String("taken later")) {
            QTRY_VERIFY(keeping->ended);
            QVERIFY(!keeping->served);
            QCOMPARE(X11SelectionReader().ownerProcess("CLIPBOARD"), std::optional<qint64>(later->pid()));
            return;
        }
        const auto here = std::optional<qint64>(QCoreApplication::applicationPid());
        QTRY_COMPARE(X11SelectionReader().ownerProcess("CLIPBOARD"), here);
        if (twist == QLatin1String("forged clear"))
            forgeSelectionClear();
        QCOMPARE(changesSince(before, clipboard_contents::read()).join(u','), QString());
        if (twist == QLatin1String("read in pieces")) {
            const clipboard_contents::Pieces pieces = clipboard_contents::readInPieces("UTF8_STRING");
            QVERIFY(pieces.complete);
            QVERIFY2(pieces.chunks > 1, "a large format comes in chunks");
            QCOMPARE(pieces.data, before.value(QStringLiteral("UTF8_STRING")));
        }
        QCOMPARE(runTool(QStringLiteral("xclip"), {"-selection", "clipboard", "-i"}, "copied later").exitCode, 0);
        QTRY_VERIFY(keeping->ended);
        QVERIFY(keeping->served);
        QCOMPARE(clipboard_contents::read().value(QStringLiteral("UTF8_STRING")), QByteArray("copied later"));
    }

    void heldModifierAndOurKeyboardGrabDoNotSpoilThePaste()
    {
        setText(QStringLiteral("before"));
        selectAllByKeys();
        // The ring holds the keyboard while open, and the user may still hold Alt.
        xcb_connection_t *connection = x11::connection();
        xcb_grab_keyboard(connection, 0, x11::rootWindow(), XCB_CURRENT_TIME, XCB_GRAB_MODE_ASYNC,
                          XCB_GRAB_MODE_ASYNC);
        xcb_flush(connection);
        QCOMPARE(runTool(QStringLiteral("xdotool"), {"keydown", "alt"}).exitCode, 0);
        QTimer::singleShot(300, [] { QProcess::execute(QStringLiteral("xdotool"), {"keyup", "alt"}); });
        await(injector->replace(app, QStringLiteral("after"), {}));
        QTRY_COMPARE(targetText(), QStringLiteral("after"));
    }

    void shellOutputAppearsInTheResultPanel()
    {
        FakeApplicationCatalog catalog;
        XdgDesktopOpener opener;
        XdgApplicationLauncher launcher(opener);
        UnavailableAppleScriptEngine appleScript;
        ScriptRunner scripts(catalog, launcher, opener, appleScript);
        ActionRunner runner(scripts);
        ResultWindowController results;
        runner.present = [&](const ActionOutcome &outcome) { results.show(outcome); };
        RingItem item{QUuid::createUuid(), QStringLiteral("Say Hello"), IconSpec::symbol(QStringLiteral("terminal")), 0,
                      {ShellPayload{QStringLiteral("echo 'Hello from the shell'; uname -s"), QStringLiteral("/bin/sh"), true}}};
        runner.run(item, app);
        // A login shell starts first, which a busy machine may take seconds over.
        QTRY_VERIFY_WITH_TIMEOUT(results.resultPanel() && results.resultPanel()->isVisible(), 20000);
        QWidget *panel = results.resultPanel();
        QVERIFY(QTest::qWaitForWindowExposed(panel));
        QCOMPARE(panel->findChild<QTextEdit *>(QStringLiteral("body"))->toPlainText(), QStringLiteral("Hello from the shell\nLinux"));
        const QRect screen = panel->screen()->geometry();
        QVERIFY(screen.contains(panel->frameGeometry()));
        QTest::qWait(200); // let the window manager and the server draw it before the picture
        const QString file = buildFolder() + QStringLiteral("/actions-shell-result.png");
        QVERIFY(panel->screen()->grabWindow(0).save(file));

        // The panel has the keyboard: Escape closes it.
        QTRY_VERIFY(panel->isActiveWindow());
        QCOMPARE(runTool(QStringLiteral("xdotool"), {"key", "Escape"}).exitCode, 0);
        QTRY_VERIFY(!results.resultPanel());
    }

    void stripFormatStripsOnlyText_data()
    {
        QTest::addColumn<QByteArray>("owner"); // a command of the target, or "snip"
        QTest::addColumn<QString>("stripped"); // the clipboard's one text after; empty: left as it was
        QTest::newRow("a screenshot from Snip") << QByteArray("snip") << QString();
        QTest::newRow("text beside an image") << QByteArray("copy-rich") << "copied earlier";
        QTest::newRow("nothing") << QByteArray("clear-clipboard") << QString();
    }

    void stripFormatStripsOnlyText()
    {
        QFETCH(QByteArray, owner);
        QFETCH(QString, stripped);
        if (owner == "snip") {
            QImage image(16, 8, QImage::Format_RGB32);
            image.fill(Qt::blue);
            QBuffer png;
            QVERIFY(png.open(QIODevice::WriteOnly) && image.save(&png, "PNG"));
            QCOMPARE(runTool(QStringLiteral("xclip"), {"-selection", "clipboard", "-t", "image/png", "-i"}, png.data())
                         .exitCode,
                     0);
            QTRY_VERIFY(clipboard_contents::read().contains(QStringLiteral("image/png")));
        } else {
            command(owner);
        }
        const auto before = clipboard_contents::read();
        FakeApplicationCatalog catalog;
        XdgDesktopOpener opener;
        XdgApplicationLauncher launcher(opener);
        UnavailableAppleScriptEngine appleScript;
        ScriptRunner scripts(catalog, launcher, opener, appleScript);
        const auto preset = ActionPreset::presetWithID(QStringLiteral("system.paste-plain"));
        QVERIFY(preset);
        const auto &payload = std::get<ShellPayload>(preset->action.payload);
        await(scripts.runShell(payload.script, payload.shell));
        const auto after = clipboard_contents::read();
        if (stripped.isEmpty()) {
            QCOMPARE(changesSince(before, after).join(u','), QString());
        } else {
            QCOMPARE(after.keys(), QStringList{QStringLiteral("UTF8_STRING")});
            QCOMPARE(after.value(QStringLiteral("UTF8_STRING")), stripped.toUtf8());
        }
    }

    void theAnswerLandsInTheWindowTheRingOpenedOver()
    {
        command("open-second");
        windowOf(2);
        setText(QStringLiteral("second window"));
        windowOf(1);
        setText(QStringLiteral("first window"));
        RunningApplication front;
        selectAllIn(1, front);
        // Meanwhile the user went on in the program's other window.
        const xcb_window_t other = windowOf(2);
        command("activate");
        QTRY_COMPARE(x11::activeWindow(), other);

        await(injector->replace(front, QStringLiteral("the answer"), {}));
        windowOf(1);
        QTRY_COMPARE(targetText(), QStringLiteral("the answer"));
        windowOf(2);
        QCOMPARE(targetText(), QStringLiteral("second window"));
    }

    void twoAIActionsAMomentApartLeaveTheClipboardAsItWas()
    {
        LoopbackHttpServer server;
        server.setRoute("/api/tags", HttpRoute::reply(200, R"({"models":[{"name":"llama3.2"}]})"));
        const QJsonObject message{{"role", "assistant"}, {"content", "Rewritten."}};
        server.setRoute("/api/chat",
                        HttpRoute::reply(200, QJsonDocument(QJsonObject{{"message", message}}).toJson()));
        OllamaReachability reachability;
        LLMService llm({}, LLMService::standardProviders({}, reachability, Scheduler::system()), reachability);
        AISettings ai;
        ai.provider = LLMProviderKind::ollama;
        ai.autoFallback = false;
        ai.ollamaBaseURL = server.url(QString()).toString();
        FakeApplicationCatalog catalog;
        XdgDesktopOpener opener;
        XdgApplicationLauncher launcher(opener);
        UnavailableAppleScriptEngine appleScript;
        ScriptRunner scripts(catalog, launcher, opener, appleScript);
        ActionRunner runner(scripts);
        AIRoad road(runner, {*selection, *injector, llm, *pasteboard, lane, [&] { return ai; },
                             [] { return SelectionSettings{}; }, [] { return true; }, {},
                             []() -> QCoro::Task<void> { co_return; }});
        int ended = 0;
        runner.runAI = [&ended, inner = runner.runAI](const ActionRun &run, AIPayload payload, RingItem item,
                                                      ActionRunner::Target target) -> QCoro::Task<void> {
            const auto count = qScopeGuard([&ended] { ++ended; });
            co_await inner(run, std::move(payload), std::move(item), std::move(target));
        };
        AIPayload rewrite;
        rewrite.systemPrompt = QStringLiteral("Rewrite.");
        rewrite.resultHandling = ResultHandling::replaceSelection;
        const RingItem item{QUuid::createUuid(), QStringLiteral("Rewrite"), IconSpec::symbol(QStringLiteral("sparkles")),
                            0, {rewrite}};

        command("copy-rich");
        const auto before = clipboard_contents::read();
        QVERIFY(before.contains(QStringLiteral("image/png")));
        windowOf(1);
        setText(QStringLiteral("the quick brown fox"));
        RunningApplication front;
        selectAllIn(1, front);
        runner.run(item, front);
        QTest::qWait(100);
        runner.run(item, front);
        QTRY_COMPARE_WITH_TIMEOUT(ended, 2, 15000);
        QTRY_VERIFY(!lane.isTaken());
        QVERIFY(targetText().startsWith(QStringLiteral("Rewritten.")));
        QCOMPARE(changesSince(before, clipboard_contents::read()).join(u','), QString());
    }

    // xterm hands Ctrl+Shift+C to its job as ^C and types Ctrl+Shift+V as a
    // control character: it is read through PRIMARY alone and never pasted into.
    void aTerminalWithoutKeysGetsNoKeys()
    {
        const QString interrupted = QDir::temp().filePath(QStringLiteral("vima-e2e-interrupted-%1")
                                                              .arg(QCoreApplication::applicationPid()));
        QFile::remove(interrupted);
        QProcess xterm;
        const auto endXterm = qScopeGuard([&xterm] {
            xterm.kill();
            xterm.waitForFinished();
        });
        xterm.start(QStringLiteral("xterm"),
                    {"-e", "sh", "-c", QStringLiteral("trap 'echo > %1' INT; while :; do sleep 0.05; done").arg(interrupted)});
        QVERIFY(xterm.waitForStarted());
        QTRY_COMPARE_WITH_TIMEOUT(x11::windowProcess(x11::activeWindow()), xterm.processId(), 20000);
        const RunningApplication terminal = frontApplication();
        QCOMPARE(runTool(QStringLiteral("xclip"), {"-selection", "primary", "-i"}, "another program's").exitCode, 0);
        command("copy-rich");
        const auto before = clipboard_contents::read();

        QCOMPARE(errorOf(selection->capture(terminal, true, {})),
                 QStringLiteral("No text is selected in %1.").arg(terminal.name));
        // A ^C would have reached the job by now.
        QTest::qWait(300);
        QVERIFY(!QFile::exists(interrupted));
        QCOMPARE(xterm.state(), QProcess::Running);
        QCOMPARE(errorOf(injector->replace(terminal, QStringLiteral("pasted"), {})),
                 QStringLiteral("The %1 window has no paste key that Tavelon knows, so Tavelon didn't paste.")
                     .arg(terminal.name));
        QCOMPARE(changesSince(before, clipboard_contents::read()).join(u','), QString());
    }

    // Xaw's xedit has no copy key: what it holds in PRIMARY is taken as it is.
    void xeditIsReadThroughPrimaryAlone()
    {
        const QString path = qEnvironmentVariable("VIMA_E2E_WORK") + QStringLiteral("/words.txt");
        const QString word = QStringLiteral("word").repeated(60); // on every line, wider than the window
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(QString(word + u'\n').repeated(40).toUtf8()) > 0);
        file.close();
        QProcess xedit;
        const auto stop = qScopeGuard([&xedit] { xedit.kill(), xedit.waitForFinished(); });
        xedit.start(QStringLiteral("xedit"), {path});
        // Under load it maps late and isn't always given the focus: it is clicked to the front.
        QTRY_VERIFY_WITH_TIMEOUT(runTool("xdotool", {"search", "--class", "^Xedit$", "windowactivate"}).exitCode == 0, 30000);
        QTRY_COMPARE_WITH_TIMEOUT(x11::windowProcess(x11::activeWindow()), xedit.processId(), 20000);
        const RunningApplication front = frontApplication();
        const auto selectAWord = [&] { // a try too early selects nothing; the next is a double click of its own
            runTool("xdotool", {"mousemove", "--window", QString::number(front.window), "295", "330", "click", "--repeat",
                                "2", "1"});
            QTest::qWait(600);
            return X11SelectionReader().ownerProcess("PRIMARY") == std::optional<qint64>(xedit.processId());
        };
        QTRY_VERIFY_WITH_TIMEOUT(selectAWord(), 20000);
        QCOMPARE(await(selection->capture(front, true, {})), word);
    }

    // Qt keeps owning PRIMARY with the old text once the selection collapses:
    // the copy tells a selection from a caret.
    void aCollapsedSelectionIsNotTaken()
    {
        windowOf(1);
        setText(QStringLiteral("hello brave world"));
        RunningApplication front;
        selectAllIn(1, front);
        command("copy-rich");
        const auto before = clipboard_contents::read();
        QCOMPARE(await(selection->capture(front, true, {})), QStringLiteral("hello brave world"));
        QCOMPARE(runTool(QStringLiteral("xdotool"), {"key", "--clearmodifiers", "End"}).exitCode, 0);
        QCOMPARE(X11SelectionReader().ownerProcess("PRIMARY"), std::optional<qint64>(app.pid));
        QCOMPARE(errorOf(selection->capture(front, true, {})),
                 QStringLiteral("No text is selected in %1.").arg(front.name));
        QCOMPARE(targetText(), QStringLiteral("hello brave world"));
        QCOMPARE(changesSince(before, clipboard_contents::read()).join(u','), QString());
    }

    // The answer is not pasted into nothing: a window closed while it was on
    // its way, the window manager focusing nothing else, or a window that
    // never asks for the text.
    void aPasteThatCannotLandIsRefused_data()
    {
        // "closed", "no text field", "read-only view" or "editable view"
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("error"); // %1: the window's application; empty: pasted
        QTest::newRow("closed, nothing else focused")
            << "closed" << "The %1 window you started from was closed, so Tavelon didn't paste.";
        QTest::newRow("no text field") << "no text field" << "The %1 window didn't take the paste.";
        // It asks for the clipboard and drops the paste.
        QTest::newRow("a read-only GTK view")
            << "read-only view" << "The field in %1 doesn't take typing, so Tavelon didn't paste.";
        QTest::newRow("an editable GTK view") << "editable view" << QString();
    }

    // A GTK 3 program's focused text view, ready once its accessibility
    // interface tells where its focus is.
    void pasteIntoTextView(bool editable, const QString &error, const QMap<QString, QByteArray> &before)
    {
        const QString path = qEnvironmentVariable("VIMA_E2E_WORK") + QStringLiteral("/read-only.txt");
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write("nothing to change here\n") > 0);
        file.close();
        QProcess zenity;
        QStringList arguments{"--text-info", "--filename=" + path};
        if (editable)
            arguments.append(QStringLiteral("--editable"));
        zenity.start(QStringLiteral("zenity"), arguments);
        const auto stop = qScopeGuard([&zenity] {
            zenity.kill();
            zenity.waitForFinished();
        });
        QVERIFY(zenity.waitForStarted());
        QTRY_COMPARE_WITH_TIMEOUT(frontApplication().pid, zenity.processId(), 20000);
        const AtspiClient client;
        const auto focused = [&client] {
            const AtspiClient::Node application = client.application(QStringLiteral("zenity"));
            return !application.isNull()
                && !client.find(application, [&client](const auto &node) { return client.isFocused(node); }).isNull();
        };
        QTRY_VERIFY_WITH_TIMEOUT(focused(), 20000);
        const RunningApplication front = frontApplication();
        QCOMPARE(errorOf(injector->replace(front, QStringLiteral("lost"), {})), error.arg(front.name));
        QCOMPARE(changesSince(before, clipboard_contents::read()).join(u','), QString());
    }

    void aPasteThatCannotLandIsRefused()
    {
        QFETCH(QString, window);
        QFETCH(QString, error);
        target->send("open-second"); // "ok", or "unknown" once it is open
        QVERIFY(!target->nextLine().isEmpty());
        command("copy-rich");
        const auto before = clipboard_contents::read();
        if (window.endsWith(QLatin1String(" view")))
            return pasteIntoTextView(window == QLatin1String("editable view"), error, before);
        RunningApplication front;
        {
            SupportProgram other(QStringLiteral("click_target"),
                                 {QStringLiteral("Other"), "100", "100", "300", "200"});
            const xcb_window_t id = other.waitForLine(QStringLiteral("ready ")).mid(6).toUInt();
            QTRY_COMPARE(x11::activeWindow(), id);
            front = frontApplication();
            if (window == QLatin1String("no text field")) {
                QCOMPARE(errorOf(injector->replace(front, QStringLiteral("lost"), {})), error.arg(front.name));
                QCOMPARE(changesSince(before, clipboard_contents::read()).join(u','), QString());
                return;
            }
            // Nothing else is there to take the focus.
            for (const int each : {1, 2})
                QCOMPARE(runTool(QStringLiteral("xdotool"), {"windowminimize", QString::number(windowOf(each))})
                             .exitCode,
                         0);
        }
        const auto restore = qScopeGuard([this] {
            for (const int each : {1, 2})
                runTool(QStringLiteral("xdotool"), {"windowactivate", QString::number(windowOf(each))});
        });
        QTRY_VERIFY(!x11::clientWindows().contains(front.window));
        QCOMPARE(errorOf(injector->replace(front, QStringLiteral("lost"), {})), error.arg(front.name));
        QCOMPARE(changesSince(before, clipboard_contents::read()).join(u','), QString());
    }

    void aSandboxedWindowsSelectionIsToldByItsXClient()
    {
        windowOf(1);
        setText(QStringLiteral("inside the sandbox"));
        // Its windows name a process that is another client of the server.
        command("claim-pid " + QByteArray::number(QCoreApplication::applicationPid()));
        const auto restore = qScopeGuard([this] { command("claim-pid " + QByteArray::number(app.pid)); });
        RunningApplication front;
        selectAllIn(1, front);
        QCOMPARE(front.pid, QCoreApplication::applicationPid());
        QCOMPARE(await(selection->capture(front, false, {})), QStringLiteral("inside the sandbox"));

        // The copy fallback: the clipboard's new owner is the same client.
        QCOMPARE(runTool(QStringLiteral("xclip"), {"-selection", "primary", "-i"}, "stale text").exitCode, 0);
        QTRY_VERIFY(X11SelectionReader().ownerProcess("PRIMARY") != std::optional<qint64>(app.pid));
        QCOMPARE(await(selection->capture(front, true, {})), QStringLiteral("inside the sandbox"));
    }
};

QTEST_MAIN(E2ESelection)
#include "e2e_selection.moc"
