#include "TestDoubles.h"
#include "actions/ClipboardLane.h"
#include "actions/AIRoad.h"
#include "actions/ActionRunner.h"
#include "actions/PromptVariables.h"
#include "actions/SelectionError.h"
#include "actions/SelectionService.h"
#include "actions/TextInjector.h"
#include "ai/LLMError.h"
#include "ai/LLMService.h"
#include "async/Cancelled.h"
#include "async/FakeScheduler.h"
#include "async/Sleep.h"
#include "http/LoopbackHttpServer.h"
#include "platform/fake/FakeAccessibility.h"
#include "platform/fake/FakeAppleScriptEngine.h"
#include "platform/fake/FakeApplicationActivator.h"
#include "platform/fake/FakeApplicationCatalog.h"
#include "platform/fake/FakeApplicationLauncher.h"
#include "platform/fake/FakeDesktopOpener.h"
#include "platform/fake/FakeKeySender.h"
#include "platform/fake/FakePasteboard.h"

#include <QDeadlineTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QScopeGuard>
#include <QTest>

using namespace vima;

namespace {

const RunningApplication editor{4242, QStringLiteral("org.example.Editor"), QStringLiteral("Editor")};
const QString none = QStringLiteral("<none>");
const QString selectedText = QStringLiteral("the quick brown fox");
const QString reading = QStringLiteral("Reading selection…");
const QString defaultQuestion = QStringLiteral("What should Tavelon do?");
// What the cloud providers' fallback leads with (see useCloudProviders).
const QString fallbackNote =
    QStringLiteral("Used OpenAI instead of Anthropic. The provider had a server error (HTTP 503). Overloaded");

QByteArray ollamaAnswer(const QString &text)
{
    return QJsonDocument(QJsonObject{{"message", QJsonObject{{"role", "assistant"}, {"content", text}}},
                                     {"done", true}})
        .toJson(QJsonDocument::Compact);
}

RingItem aiItem(const QString &title, const QString &prompt,
                ResultHandling handling = ResultHandling::showPopover,
                std::optional<QString> language = std::nullopt)
{
    AIPayload payload;
    payload.systemPrompt = prompt;
    payload.resultHandling = handling;
    payload.targetLanguage = std::move(language);
    return test::item(title, {payload});
}

// Where a run is suspended when the test cancels it.
enum class Await { probe, selection, question, completion, activation, paste };

} // namespace

// The AI road over the real selection reader, injector and AI service, with
// fake desktop collaborators and providers on a loopback HTTP server.
class TestAIRoad : public QObject {
    Q_OBJECT

    FakeApplicationCatalog catalog;
    FakeApplicationLauncher launcher;
    FakeDesktopOpener opener;
    FakeAppleScriptEngine appleScript;
    ScriptRunner scripts{catalog, launcher, opener, appleScript};

    FakeScheduler scheduler;
    FakeAccessibility accessibility;
    FakePasteboard pasteboard;
    FakeKeySender keys;
    FakeApplicationActivator activator;
    ClipboardLane lane{scheduler};
    FakeAccessibilityElement::Pointer focused;

    std::unique_ptr<LoopbackHttpServer> server;
    std::unique_ptr<OllamaReachability> reachability;
    std::unique_ptr<LLMService> llm;
    std::unique_ptr<SelectionService> selection;
    std::unique_ptr<TextInjector> injector;
    std::unique_ptr<ActionRunner> runner;
    std::unique_ptr<AIRoad> road;

    QMap<LLMProviderKind, QString> apiKeys; // in the keyring
    QMap<LLMProviderKind, QString> readKeys; // what the road has read of it
    AISettings ai;
    SelectionSettings selectionSettings;
    bool trusted = true;
    QStringList performed;

    QList<ActionOutcome> outcomes;
    QStringList events; // busy texts and presented titles, in order
    QStringList asked;
    QList<std::optional<QString>> answers; // handed out in order
    int ended = 0;

    void run(const RingItem &item) { runner->run(item, editor); }

    // Moves the fake clock (questions, copies, pastes) on in small steps
    // until the road has ended. The AI service runs on the real clock.
    void waitUntilEnded()
    {
        const QDeadlineTimer limit(10000);
        while (ended == 0 && !limit.hasExpired()) {
            QTest::qWait(5);
            scheduler.advance(0.05);
        }
        QCOMPARE(ended, 1);
        QCOMPARE(runner->busyMessage(), std::nullopt);
    }

    QList<HttpRecordedRequest> chats() const { return server->requests("/api/chat"); }

    QString sentSystemPrompt() const
    {
        return chats().last().json()["messages"].toArray()[0].toObject()["content"].toString();
    }

    void useCloudProviders()
    {
        apiKeys = {{LLMProviderKind::anthropic, "sk-ant-test"}, {LLMProviderKind::openai, "sk-openai-test"}};
        ai.provider = LLMProviderKind::anthropic;
        ai.model = QStringLiteral("claude-test");
        QUrl stopped = server->url(QString());
        stopped.setPort(LoopbackHttpServer::closedPort());
        ai.ollamaBaseURL = stopped.toString();
    }

private Q_SLOTS:
    void init()
    {
        outcomes.clear();
        events.clear();
        asked.clear();
        answers.clear();
        performed.clear();
        ended = 0;
        trusted = true;
        selectionSettings = {};
        apiKeys.clear();
        readKeys.clear();
        keys = {};
        pasteboard = {};
        pasteboard.setText(QStringLiteral("on the clipboard"));
        accessibility = {};
        activator = {};
        activator.activePid = editor.pid;

        const auto app = FakeAccessibilityElement::make();
        focused = FakeAccessibilityElement::make();
        focused->selected = AXAnswer<QString>::of(selectedText);
        focused->settable = true;
        app->focused = focused;
        accessibility.applications.insert(editor.pid, app);

        server = std::make_unique<LoopbackHttpServer>();
        QVERIFY(server->isListening());
        server->setRoute("/api/tags", HttpRoute::reply(200, R"({"models":[{"name":"llama3.2"}]})"));
        server->setRoute("/api/chat", HttpRoute::reply(200, ollamaAnswer(QStringLiteral("  The answer.\n"))));
        server->setRoute("/v1/messages", HttpRoute::reply(503, R"({"error":{"message":"Overloaded"}})"));
        server->setRoute("/v1/chat/completions",
                         HttpRoute::reply(200, R"({"choices":[{"message":{"content":"From OpenAI."}}]})"));

        ai = {};
        ai.provider = LLMProviderKind::ollama;
        ai.model = QStringLiteral("llama3.2");
        ai.ollamaBaseURL = server->url(QString()).toString();

        reachability = std::make_unique<OllamaReachability>(Scheduler::system());
        const LLMService::Endpoints endpoints{server->url("/v1/messages"), server->url("/v1/chat/completions")};
        llm = std::make_unique<LLMService>(
            [this](LLMProviderKind kind) {
                return readKeys.contains(kind) ? std::optional(readKeys.value(kind)) : std::nullopt;
            },
            LLMService::standardProviders(endpoints, *reachability, Scheduler::system()), *reachability);
        selection = std::make_unique<SelectionService>(
            SelectionService::Collaborators{accessibility, pasteboard, keys, activator, scheduler, lane});
        injector = std::make_unique<TextInjector>(
            TextInjector::Collaborators{accessibility, pasteboard, keys, activator, scheduler, lane});

        runner = std::make_unique<ActionRunner>(scripts);
        road = std::make_unique<AIRoad>(
            *runner, AIRoad::Collaborators{*selection, *injector, *llm, pasteboard, lane, [this] { return ai; },
                                           [this] { return selectionSettings; }, [this] { return trusted; },
                                           [this] { performed.append(QStringLiteral("open permissions")); },
                                           [this]() -> QCoro::Task<void> {
                                               readKeys = apiKeys;
                                               co_return;
                                           }});
        runner->postOpenSettings = [this] { performed.append(QStringLiteral("open settings")); };
        runner->present = [this](const ActionOutcome &outcome) {
            outcomes.append(outcome);
            events.append(QStringLiteral("present"));
        };
        runner->requestInput = [this](QString question, CancellationToken token) -> QCoro::Task<std::optional<QString>> {
            asked.append(question);
            try {
                co_await sleep(1, token, scheduler);
            } catch (const Cancelled &) {
                co_return std::nullopt;
            }
            co_return answers.isEmpty() ? std::optional<QString>(QStringLiteral("yes")) : answers.takeFirst();
        };
        connect(runner.get(), &ActionRunner::busyMessageChanged, this,
                [this](const std::optional<QString> &text) { events.append(text.value_or(none)); });
        // Counts the ends of the road, however it ended.
        runner->runAI = [this, inner = runner->runAI](const ActionRun &run, AIPayload payload, RingItem item,
                                                      ActionRunner::Target target) -> QCoro::Task<void> {
            const auto count = qScopeGuard([this] { ++ended; });
            co_await inner(run, std::move(payload), std::move(item), std::move(target));
        };
    }

    void notTrustedShowsOnlyThePermissionOutcome()
    {
        trusted = false;
        run(aiItem(QStringLiteral("Rewrite"), QStringLiteral("Rewrite.")));
        waitUntilEnded();
        QCOMPARE(events, QStringList{QStringLiteral("present")});
        const ActionOutcome outcome = outcomes.first();
        QCOMPARE(outcome.title, QStringLiteral("Rewrite"));
        QCOMPARE(outcome.body,
                 QStringLiteral("Tavelon needs an X11 session with XTest to read the text you have selected."));
        QCOMPARE(outcome.style, ActionOutcome::Style::failure);
        QCOMPARE(outcome.replaceTarget, std::nullopt);
        QCOMPARE(outcome.recovery,
                 QStringLiteral("Start Tavelon in an X11 session whose X server has the XTest extension, then try again."));
        QVERIFY(!outcome.isAI);
        QCOMPARE(outcome.recoveryAction->title, QStringLiteral("Open Permissions"));
        outcome.recoveryAction->perform();
        QCOMPARE(performed, QStringList{QStringLiteral("open permissions")});
        QVERIFY(server->requests().isEmpty());
        QCOMPARE(focused->selectedTextReads, 0);
    }

    void noProviderShowsItsOutcomeBeforeReading_data()
    {
        QTest::addColumn<bool>("ollamaChosen");
        QTest::addColumn<QString>("body"); // %1: the stopped server's address
        QTest::newRow("on-device chosen, no keys")
            << false
            << "No AI provider is set up yet. There is no on-device model on Linux. Use a local Ollama server, or "
               "add an API key.";
        QTest::newRow("ollama chosen and stopped") << true << "No server at %1. Start Ollama and try again.";
    }

    void noProviderShowsItsOutcomeBeforeReading()
    {
        QFETCH(bool, ollamaChosen);
        QFETCH(QString, body);
        if (!ollamaChosen)
            ai.provider = LLMProviderKind::appleOnDevice;
        QUrl stopped = server->url(QString());
        stopped.setPort(LoopbackHttpServer::closedPort());
        ai.ollamaBaseURL = stopped.toString();
        body.replace(QStringLiteral("%1"), stopped.toString());
        QTest::ignoreMessage(QtCriticalMsg, qPrintable("Rewrite failed: " + body));
        run(aiItem(QStringLiteral("Rewrite"), QStringLiteral("Rewrite.")));
        waitUntilEnded();
        QCOMPARE(events, QStringList{QStringLiteral("present")});
        const ActionOutcome outcome = outcomes.first();
        QCOMPARE(outcome.body, body);
        QCOMPARE(outcome.style, ActionOutcome::Style::failure);
        QCOMPARE(outcome.recovery,
                 QStringLiteral("Start a local Ollama server and pull its model, or add an API key in Settings → AI."));
        QCOMPARE(outcome.recoveryAction->title, QStringLiteral("Open Settings"));
        outcome.recoveryAction->perform();
        QCOMPARE(performed, QStringList{QStringLiteral("open settings")});
        QCOMPARE(focused->selectedTextReads, 0);
        QVERIFY(chats().isEmpty());
    }

    void anItemThatNeedsAStrongModelMayRunWhereNoOtherCan()
    {
        useCloudProviders();
        ai.provider = LLMProviderKind::ollama; // stopped
        RingItem item = aiItem(QStringLiteral("Rewrite"), QStringLiteral("Rewrite."));
        std::get<AIPayload>(item.action.payload).needsStrongModel = true;
        run(item);
        waitUntilEnded();
        QCOMPARE(outcomes.first().body, QStringLiteral("From OpenAI."));
        QCOMPARE(focused->selectedTextReads, 1);
    }

    void anItemsOwnModelRunsWhereTheConfiguredOneIsNotPulled()
    {
        server->setRoute("/api/tags", HttpRoute::reply(200, R"({"models":[{"name":"qwen2.5:7b"}]})"));
        RingItem item = aiItem(QStringLiteral("Rewrite"), QStringLiteral("Rewrite."));
        std::get<AIPayload>(item.action.payload).modelOverride = QStringLiteral("qwen2.5:7b");
        run(item);
        waitUntilEnded();
        QCOMPARE(outcomes.first().body, QStringLiteral("The answer."));
    }

    void aServerFoundStoppedIsAskedAgainOnTheNextRun()
    {
        server->setRoute("/api/tags", HttpRoute::reply(503, "starting"));
        QTest::ignoreMessage(QtCriticalMsg, QRegularExpression("^Rewrite failed: No server at "));
        run(aiItem(QStringLiteral("Rewrite"), QStringLiteral("Rewrite.")));
        waitUntilEnded();
        QVERIFY(outcomes.first().body.startsWith(QStringLiteral("No server at ")));
        server->setRoute("/api/tags", HttpRoute::reply(200, R"({"models":[{"name":"llama3.2"}]})"));
        ended = 0;
        run(aiItem(QStringLiteral("Rewrite"), QStringLiteral("Rewrite.")));
        waitUntilEnded();
        QCOMPARE(outcomes.last().body, QStringLiteral("The answer."));
        QCOMPARE(server->requests("/api/tags").size(), 2);
    }

    void replaceSelectionRunsAsAnAction_data()
    {
        QTest::addColumn<QString>("ending");
        QTest::addColumn<QStringList>("written");
        QTest::addColumn<QString>("hint"); // empty: nothing shown
        QTest::newRow("written") << "" << QStringList{"The answer."} << "";
        QTest::newRow("window gone")
            << "gone" << QStringList{}
            << "Couldn't paste automatically: The Editor window you started from isn't in front any more, so "
               "Tavelon didn't paste.";
        QTest::newRow("cancelled") << "cancel" << QStringList{} << "";
        QTest::newRow("superseded by another") << "supersede" << QStringList{"Another answer."} << "";
    }

    void replaceSelectionRunsAsAnAction()
    {
        QFETCH(QString, ending);
        QFETCH(QStringList, written);
        QFETCH(QString, hint);
        ActionOutcome shown{QStringLiteral("Rewrite"), QStringLiteral("The answer."), ActionOutcome::Style::success,
                            editor, QStringLiteral("Used OpenAI instead of Ollama (local)."), std::nullopt, true};
        activator.activePid = 1; // the result panel is in front
        if (ending == QLatin1String("gone")) {
            activator.activation = FakeApplicationActivator::Activation::isRefused;
            QTest::ignoreMessage(QtCriticalMsg, QRegularExpression("^Replace failed"));
        }
        runner->replace(shown);
        QCOMPARE(events.value(0), QStringLiteral("Replacing selection…"));
        if (ending == QLatin1String("cancel"))
            runner->cancel();
        if (ending == QLatin1String("supersede")) {
            shown.body = QStringLiteral("Another answer.");
            runner->replace(shown);
        }
        for (int step = 0; step < 40; ++step)
            scheduler.advance(0.05);
        QTRY_COMPARE(runner->busyMessage(), std::nullopt);
        QCOMPARE(QStringList(focused->written), written);
        QCOMPARE(outcomes.size(), hint.isEmpty() ? 0 : 1);
        if (!hint.isEmpty()) {
            QCOMPARE(outcomes.first().body, QStringLiteral("The answer."));
            QCOMPARE(outcomes.first().recovery, hint);
            QCOMPARE(outcomes.first().replaceTarget, editor);
        }
    }

    void anOllamaNotProbedYetIsProbedBeforeChoosing()
    {
        QVERIFY(llm->candidates(AIPayload{}, ai).isEmpty());
        run(aiItem(QStringLiteral("Rewrite"), QStringLiteral("Rewrite.")));
        waitUntilEnded();
        QCOMPARE(outcomes.first().body, QStringLiteral("The answer."));
        const QList<HttpRecordedRequest> requests = server->requests();
        QCOMPARE(requests.size(), 2);
        QCOMPARE(requests.first().path, "/api/tags");
    }

    void busyTextOnEveryExit_data()
    {
        QTest::addColumn<QString>("prompt");
        QTest::addColumn<int>("failure"); // 0 none, 1 selection, 2 provider
        QTest::addColumn<QStringList>("expected");
        const QString busy = QStringLiteral("Rewrite…");
        const QString present = QStringLiteral("present");
        QTest::newRow("answer") << "Rewrite." << 0 << QStringList{reading, busy, present, none};
        QTest::newRow("answer after a question") << "Rewrite {{ask:How?}}." << 0
                                                 << QStringList{reading, none, busy, present, none};
        QTest::newRow("question cancelled") << "Rewrite {{ask:How?}}." << 3 << QStringList{reading, none};
        QTest::newRow("selection fails") << "Rewrite." << 1 << QStringList{reading, none, present};
        QTest::newRow("provider fails") << "Rewrite." << 2 << QStringList{reading, busy, none, present};
    }

    void busyTextOnEveryExit()
    {
        QFETCH(QString, prompt);
        QFETCH(int, failure);
        QFETCH(QStringList, expected);
        if (failure == 1) {
            focused->selected = AXAnswer<QString>::none();
            selectionSettings.clipboardFallback = false;
            QTest::ignoreMessage(QtCriticalMsg, QRegularExpression("^Rewrite failed: "));
        }
        if (failure == 2) {
            server->setRoute("/api/chat", HttpRoute::reply(500, R"({"error":"model crashed"})"));
            QTest::ignoreMessage(QtCriticalMsg, QRegularExpression("^Rewrite failed: "));
        }
        if (failure == 3)
            answers = {std::nullopt};
        run(aiItem(QStringLiteral("Rewrite"), prompt));
        waitUntilEnded();
        QCOMPARE(events, expected);
    }

    void questionsAreAskedOnceEachInOrder()
    {
        answers = {QStringLiteral("formal"), QStringLiteral(""), QStringLiteral("shorten it")};
        run(aiItem(QStringLiteral("Rewrite"),
                   QStringLiteral("Tone {{ask:Which tone?}}, {{ask: Audience? }} then {{ask}}; again {{ASK:Which tone?}}.")));
        waitUntilEnded();
        QCOMPARE(asked, (QStringList{QStringLiteral("Which tone?"), QStringLiteral("Audience?"), defaultQuestion}));
        QCOMPARE(sentSystemPrompt(), QStringLiteral("Tone formal,  then shorten it; again formal."));
    }

    void aCancelledQuestionEndsQuietly()
    {
        answers = {QStringLiteral("formal"), std::nullopt};
        run(aiItem(QStringLiteral("Rewrite"), QStringLiteral("{{ask:A}} {{ask:B}} {{ask:C}} {{ask:A}}")));
        waitUntilEnded();
        QCOMPARE(asked, (QStringList{QStringLiteral("A"), QStringLiteral("B")}));
        QVERIFY(outcomes.isEmpty());
        QVERIFY(chats().isEmpty());
    }

    void withoutAnAskerTheAskTokensStay()
    {
        runner->requestInput = nullptr;
        run(aiItem(QStringLiteral("Rewrite"), QStringLiteral("Tone {{ask:Which tone?}}.")));
        waitUntilEnded();
        QCOMPARE(sentSystemPrompt(), QStringLiteral("Tone {{ask:Which tone?}}."));
        QCOMPARE(events, (QStringList{reading, QStringLiteral("Rewrite…"), QStringLiteral("present"), none}));
    }

    void everyVariableIsExpandedOnce_data()
    {
        QTest::addColumn<QString>("prompt");
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("selected");
        QTest::addColumn<QString>("expected");
        QTest::newRow("selection, app, clipboard, ask")
            << "{{selection}}|{{ app }}|{{clipboard}}|{{ask:Tone?}}" << "" << "some text"
            << "some text|Editor|on the clipboard|yes";
        QTest::newRow("language at step 6") << "Into {{language}}: {{language}}" << "French" << "x"
                                            << "Into French: French";
        QTest::newRow("no language stays") << "Into {{language}}." << "" << "x" << "Into {{language}}.";
        QTest::newRow("unknown stays") << "{{unknown}} {{}}" << "" << "x" << "{{unknown}} {{}}";
        QTest::newRow("values are not rescanned")
            << "Q: {{selection}} in {{language}}" << "German" << "{{app}} {{language}} {{ask:Tone?}}"
            << "Q: {{app}} {{language}} {{ask:Tone?}} in German";
    }

    void everyVariableIsExpandedOnce()
    {
        QFETCH(QString, prompt);
        QFETCH(QString, language);
        QFETCH(QString, selected);
        QFETCH(QString, expected);
        focused->selected = AXAnswer<QString>::of(selected);
        run(aiItem(QStringLiteral("Rewrite"), prompt, ResultHandling::showPopover, language));
        waitUntilEnded();
        QCOMPARE(sentSystemPrompt(), expected);
        const QJsonObject user = chats().last().json()["messages"].toArray()[1].toObject();
        QCOMPARE(user["content"].toString(), selected);
        QCOMPARE(asked.size(), prompt.contains(QStringLiteral("{{ask")) ? 1 : 0);
    }

    void theClipboardTokenWaitsUntilAnotherActionGaveTheClipboardBack()
    {
        auto paste = test::start(lane.take({}));
        pasteboard.setText(QStringLiteral("another action's answer"));
        run(aiItem(QStringLiteral("Rewrite"), QStringLiteral("Use {{clipboard}}.")));
        for (int step = 0; step < 20 && !events.contains(reading); ++step) {
            QTest::qWait(5);
            scheduler.advance(0.05);
        }
        QVERIFY(events.contains(reading) && !events.contains(QStringLiteral("Rewrite…")));
        pasteboard.setText(QStringLiteral("on the clipboard"));
        paste->value.reset();
        waitUntilEnded();
        QCOMPARE(sentSystemPrompt(), QStringLiteral("Use on the clipboard."));
    }

    void dateAndTimeAreFilledIn()
    {
        const QString prompt = QStringLiteral("{{date}} / {{time}}");
        const QString before = PromptVariables::expand(prompt, {});
        run(aiItem(QStringLiteral("Rewrite"), prompt));
        waitUntilEnded();
        const QString after = PromptVariables::expand(prompt, {});
        QVERIFY2(sentSystemPrompt() == before || sentSystemPrompt() == after, qPrintable(sentSystemPrompt()));
    }

    // Replace Selection is offered only where a paste can work.
    void showPopoverPresentsTheAnswer_data()
    {
        QTest::addColumn<KeySender::Keys>("windowKeys");
        QTest::addColumn<ResultHandling>("handling");
        QTest::newRow("an editor") << KeySender::Keys::editor << ResultHandling::showPopover;
        QTest::newRow("a window sent no paste key") << KeySender::Keys::none << ResultHandling::showPopover;
        QTest::newRow("no paste key, replacing") << KeySender::Keys::none << ResultHandling::replaceSelection;
    }

    void showPopoverPresentsTheAnswer()
    {
        QFETCH(KeySender::Keys, windowKeys);
        QFETCH(ResultHandling, handling);
        keys.keys = windowKeys;
        run(aiItem(QStringLiteral("Rewrite"), QStringLiteral("Rewrite."), handling));
        waitUntilEnded();
        QCOMPARE(outcomes.size(), 1);
        const ActionOutcome outcome = outcomes.first();
        QCOMPARE(outcome.title, QStringLiteral("Rewrite"));
        QCOMPARE(outcome.body, QStringLiteral("The answer."));
        QCOMPARE(outcome.style, ActionOutcome::Style::success);
        const bool byHand = windowKeys == KeySender::Keys::none;
        const auto note = QStringLiteral("Tavelon can't paste into the Editor window: copy the answer and paste it "
                                         "there yourself.");
        QCOMPARE(outcome.replaceTarget, byHand ? std::nullopt : std::optional(editor));
        QCOMPARE(outcome.recovery, byHand ? std::optional(note) : std::nullopt);
        QVERIFY(!outcome.recoveryAction);
        QVERIFY(outcome.isAI);
        QVERIFY(focused->written.isEmpty());
    }

    void writeBack_data()
    {
        QTest::addColumn<bool>("fallback");
        QTest::addColumn<QString>("answer");
        QTest::newRow("chosen provider: nothing shown") << false << "The answer.";
        QTest::newRow("fallback provider: answer with the note") << true << "From OpenAI.";
    }

    void writeBack()
    {
        QFETCH(bool, fallback);
        QFETCH(QString, answer);
        if (fallback)
            useCloudProviders();
        run(aiItem(QStringLiteral("Rewrite"), QStringLiteral("Rewrite."), ResultHandling::replaceSelection));
        waitUntilEnded();
        QCOMPARE(focused->written, QStringList{answer});
        if (!fallback) {
            QVERIFY(outcomes.isEmpty());
            QCOMPARE(events, (QStringList{reading, QStringLiteral("Rewrite…"), none}));
            return;
        }
        // Written once: the notice offers the answer to copy, not to write again.
        QCOMPARE(outcomes.size(), 1);
        const ActionOutcome outcome = outcomes.first();
        QCOMPARE(outcome.body, answer);
        QCOMPARE(outcome.style, ActionOutcome::Style::success);
        QCOMPARE(outcome.replaceTarget, std::nullopt);
        QVERIFY(outcome.replaced);
        QCOMPARE(outcome.recovery, fallbackNote + QStringLiteral("\nIt has replaced your selection."));
        QVERIFY(!outcome.recoveryAction);
        QVERIFY(outcome.isAI);
    }

    void aFailedWriteShowsTheAnswerWithThePasteHint_data()
    {
        QTest::addColumn<FakePasteboard::Owner>("clipboard");
        QTest::addColumn<QString>("reason");
        QTest::addColumn<bool>("fallback");
        QTest::addColumn<KeySender::Focus>("focus");
        using Owner = FakePasteboard::Owner;
        using Focus = KeySender::Focus;
        QTest::newRow("clipboard not answering")
            << Owner::silent << "The clipboard isn't responding, so Tavelon left it alone." << false << Focus::inTarget;
        QTest::newRow("clipboard over what can be put back")
            << Owner::oversized
            << "The clipboard holds more than 64 MB, more than Tavelon can put back, so Tavelon left it alone."
            << false << Focus::inTarget;
        QTest::newRow("clipboard of more formats than can be put back")
            << Owner::tooManyFormats
            << "The clipboard offers more than 1024 formats, more than Tavelon can put back, so Tavelon left it alone."
            << false << Focus::inTarget;
        QTest::newRow("clipboard with a longer format name than can be put back")
            << Owner::formatNameTooLong
            << "The clipboard offers a format whose name is longer than 1024 bytes, more than Tavelon can put back, "
               "so Tavelon left it alone."
            << false << Focus::inTarget;
        QTest::newRow("paste refused") << Owner::answers << SelectionError::notPermitted().description() << false << Focus::inTarget;
        QTest::newRow("after a fallback, the note first")
            << Owner::answers << SelectionError::notPermitted().description() << true << Focus::inTarget;
        QTest::newRow("its window closed while the answer was on its way")
            << Owner::answers << "The Editor window you started from was closed, so Tavelon didn't paste." << false
            << Focus::targetClosed;
    }

    void aFailedWriteShowsTheAnswerWithThePasteHint()
    {
        QFETCH(FakePasteboard::Owner, clipboard);
        QFETCH(QString, reason);
        QFETCH(bool, fallback);
        QFETCH(KeySender::Focus, focus);
        if (fallback)
            useCloudProviders();
        focused->settable = false;
        pasteboard.reads = clipboard;
        keys.canSend = false;
        keys.focus = focus;
        QTest::ignoreMessage(QtCriticalMsg, qPrintable(QStringLiteral("Replace failed, falling back to popover: ") + reason));
        run(aiItem(QStringLiteral("Rewrite"), QStringLiteral("Rewrite."), ResultHandling::replaceSelection));
        waitUntilEnded();
        QCOMPARE(outcomes.size(), 1);
        const ActionOutcome outcome = outcomes.first();
        QCOMPARE(outcome.body, fallback ? QStringLiteral("From OpenAI.") : QStringLiteral("The answer."));
        QCOMPARE(outcome.style, ActionOutcome::Style::success);
        QCOMPARE(outcome.replaceTarget, editor);
        const QString paste = QStringLiteral("Couldn't paste automatically: ") + reason;
        QCOMPARE(outcome.recovery, fallback ? fallbackNote + QLatin1Char('\n') + paste : paste);
        QVERIFY(!outcome.recoveryAction);
        QVERIFY(outcome.isAI);
        QCOMPARE(events, (QStringList{reading, QStringLiteral("Rewrite…"), QStringLiteral("present"), none}));
        QCOMPARE(pasteboard.plainText(), QStringLiteral("on the clipboard"));
    }

    void onlyPlainTextOfASaneSizeIsPasted_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QString>("refusal");
        const qsizetype limit = AIRoad::largestPaste;
        QTest::newRow("at the limit") << QString(limit, u'a') << QString();
        QTest::newRow("tabs and lines") << QStringLiteral("a\tb\r\nc") << QString();
        QTest::newRow("past the limit")
            << QString(limit + 1, u'a')
            << QStringLiteral("The answer is too long to paste (%L1 characters), so your selection was left as it was.")
                   .arg(limit + 1);
        const QString control =
            QStringLiteral("The answer holds control characters, so your selection was left as it was.");
        QTest::newRow("a NUL") << QStringLiteral("one") + QChar(0) + QStringLiteral("two") << control;
        QTest::newRow("a terminal escape") << QStringLiteral("ok\x1b[201~rm -rf ~") << control;
        QTest::newRow("a C1 control") << QStringLiteral("ok") + QChar(0x9b) + QStringLiteral("201~") << control;
        QTest::newRow("a bidirectional override") << QStringLiteral("abc") + QChar(0x202e) + QStringLiteral("fed") << control;
        QTest::newRow("a bidirectional isolate") << QStringLiteral("a") + QChar(0x2067) + QStringLiteral("b") << control;
        QTest::newRow("letters, dashes and marks") << QStringLiteral("caf\u00e9 \u2014 \u200f") << QString();
    }

    void onlyPlainTextOfASaneSizeIsPasted()
    {
        QFETCH(QString, answer);
        QFETCH(QString, refusal);
        server->setRoute("/api/chat", HttpRoute::reply(200, ollamaAnswer(answer)));
        run(aiItem(QStringLiteral("Rewrite"), QStringLiteral("Rewrite."), ResultHandling::replaceSelection));
        waitUntilEnded();
        if (refusal.isEmpty()) {
            QCOMPARE(focused->written, QStringList{answer});
            QVERIFY(outcomes.isEmpty());
            return;
        }
        QVERIFY(focused->written.isEmpty());
        QVERIFY(keys.sent.isEmpty());
        QCOMPARE(outcomes.size(), 1);
        QCOMPARE(outcomes.first().body, answer);
        QCOMPARE(outcomes.first().recovery, refusal);
        QCOMPARE(outcomes.first().replaceTarget, std::nullopt); // no Replace Selection either
    }

    // An answer that stopped at the token limit never replaces the selection
    // unasked: it is shown with the limit and where to raise it, and Replace
    // Selection still writes it.
    void aCutAnswerIsShownWithTheLimit_data()
    {
        QTest::addColumn<bool>("replacing");
        QTest::addColumn<bool>("fallback");
        QTest::newRow("replace") << true << false;
        QTest::newRow("replace, after a fallback the note first") << true << true;
        QTest::newRow("shown in the panel") << false << false;
    }

    void aCutAnswerIsShownWithTheLimit()
    {
        QFETCH(bool, replacing);
        QFETCH(bool, fallback);
        server->setRoute("/api/chat",
                         HttpRoute::reply(200, R"({"message":{"content":"Half an"},"done_reason":"length"})"));
        if (fallback) {
            useCloudProviders();
            server->setRoute("/v1/chat/completions",
                             HttpRoute::reply(200, R"({"choices":[{"message":{"content":"Half an"},
                                                                    "finish_reason":"length"}]})"));
        }
        ai.maxTokens = 300;
        run(aiItem(QStringLiteral("Rewrite"), QStringLiteral("Rewrite."),
                   replacing ? ResultHandling::replaceSelection : ResultHandling::showPopover));
        waitUntilEnded();
        QVERIFY(focused->written.isEmpty());
        QVERIFY(keys.sent.isEmpty());
        QCOMPARE(outcomes.size(), 1);
        const ActionOutcome outcome = outcomes.first();
        QCOMPARE(outcome.body, QStringLiteral("Half an"));
        QCOMPARE(outcome.style, ActionOutcome::Style::success);
        const QString note = QStringLiteral("The answer stopped at the limit of 300 output tokens and may be cut "
                                            "short%1. Raise Max output tokens in Settings → AI → Advanced for "
                                            "longer answers.")
                                 .arg(replacing ? QStringLiteral(", so your selection was left as it was") : QString());
        QCOMPARE(outcome.recovery, fallback ? fallbackNote + QLatin1Char('\n') + note : note);
        QCOMPARE(outcome.replaceTarget, editor);
        QVERIFY(!outcome.replaced);

        runner->replace(outcome);
        for (int step = 0; step < 40; ++step)
            scheduler.advance(0.05);
        QTRY_COMPARE(runner->busyMessage(), std::nullopt);
        QCOMPARE(focused->written, QStringList{QStringLiteral("Half an")});
    }

    void providerFailureWithoutFallbackShowsItsTexts()
    {
        ai.autoFallback = false;
        useCloudProviders();
        QTest::ignoreMessage(QtCriticalMsg, QRegularExpression("^Rewrite failed: "));
        run(aiItem(QStringLiteral("Rewrite"), QStringLiteral("Rewrite."), ResultHandling::replaceSelection));
        waitUntilEnded();
        const LLMError expected = LLMError::api(503, QStringLiteral("Overloaded"));
        const ActionOutcome outcome = outcomes.first();
        QCOMPARE(outcome.body, expected.description());
        QCOMPARE(outcome.recovery, expected.recoverySuggestion());
        QCOMPARE(outcome.style, ActionOutcome::Style::failure);
        QVERIFY(!outcome.recoveryAction);
        QVERIFY(!outcome.isAI);
        QVERIFY(server->requests("/v1/chat/completions").isEmpty());
        QVERIFY(focused->written.isEmpty());
    }

    void selectionFailuresCarryTheirButtons_data()
    {
        QTest::addColumn<bool>("fallback");
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("performs");
        QTest::newRow("not shared") << false << "Open Settings" << "open settings";
        QTest::newRow("nothing copied") << true << "" << "";
    }

    void selectionFailuresCarryTheirButtons()
    {
        QFETCH(bool, fallback);
        QFETCH(QString, button);
        QFETCH(QString, performs);
        accessibility.applications.clear();
        selectionSettings.clipboardFallback = fallback;
        QTest::ignoreMessage(QtCriticalMsg, QRegularExpression("^Rewrite failed: "));
        run(aiItem(QStringLiteral("Rewrite"), QStringLiteral("Rewrite.")));
        waitUntilEnded();
        QCOMPARE(outcomes.size(), 1);
        const ActionOutcome outcome = outcomes.first();
        QCOMPARE(outcome.style, ActionOutcome::Style::failure);
        QCOMPARE(outcome.recoveryAction.has_value(), !button.isEmpty());
        if (outcome.recoveryAction) {
            QCOMPARE(outcome.recoveryAction->title, button);
            outcome.recoveryAction->perform();
            QCOMPARE(performed, QStringList{performs});
        }
        QVERIFY(chats().isEmpty());
    }

    void cancellationAtEachAwaitEndsSilently_data()
    {
        QTest::addColumn<int>("at");
        QTest::addColumn<bool>("superseded");
        for (const bool superseded : {false, true}) {
            const char *how = superseded ? "new action" : "cancel";
            QTest::addRow("probe, %s", how) << int(Await::probe) << superseded;
            QTest::addRow("selection, %s", how) << int(Await::selection) << superseded;
            QTest::addRow("question, %s", how) << int(Await::question) << superseded;
            QTest::addRow("completion, %s", how) << int(Await::completion) << superseded;
            QTest::addRow("activation before writing, %s", how) << int(Await::activation) << superseded;
            QTest::addRow("paste, %s", how) << int(Await::paste) << superseded;
        }
    }

    void cancellationAtEachAwaitEndsSilently()
    {
        QFETCH(int, at);
        QFETCH(bool, superseded);
        QString prompt = QStringLiteral("Rewrite.");
        switch (Await(at)) {
        case Await::probe:
            server->setRoute("/api/tags", HttpRoute::hanging());
            break;
        case Await::selection:
            focused->selected = AXAnswer<QString>::none();
            break;
        case Await::question:
            prompt = QStringLiteral("Rewrite {{ask}}.");
            break;
        case Await::completion:
            server->setRoute("/api/chat", HttpRoute::hanging());
            break;
        case Await::activation:
            activator.activePid = 0;
            break;
        case Await::paste:
            focused->settable = false;
            useCloudProviders();
            break;
        }
        run(aiItem(QStringLiteral("Rewrite"), prompt, ResultHandling::replaceSelection));

        switch (Await(at)) {
        case Await::probe:
            QTRY_COMPARE(server->requests("/api/tags").size(), 1);
            break;
        case Await::selection:
            QTRY_COMPARE(keys.sent, QList{KeySender::Shortcut::copy});
            break;
        case Await::question:
            QTRY_COMPARE(asked.size(), 1);
            break;
        case Await::completion:
            QTRY_COMPARE(chats().size(), 1);
            break;
        case Await::activation:
            QTRY_COMPARE(activator.activated, QList<qint64>{editor.pid});
            break;
        case Await::paste:
            QTRY_COMPARE(keys.sent, QList{KeySender::Shortcut::paste});
            break;
        }
        QCOMPARE(ended, 0);
        if (superseded)
            runner->run(test::item(QStringLiteral("Open"), {OpenPayload{QStringLiteral("/tmp")}}), editor);
        else
            runner->cancel();
        QCOMPARE(runner->busyMessage(), std::nullopt);
        waitUntilEnded();
        QVERIFY(outcomes.isEmpty());
        QCOMPARE(runner->busyMessage(), std::nullopt);
        QCOMPARE(pasteboard.plainText(), QStringLiteral("on the clipboard"));
        if (Await(at) == Await::activation)
            QVERIFY(focused->written.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestAIRoad)
#include "tst_airoad.moc"
