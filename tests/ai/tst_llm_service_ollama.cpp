#include "Outcome.h"
#include "ai/AppleOnDeviceProvider.h"
#include "ai/LLMService.h"
#include "ai/OllamaProvider.h"
#include "ai/OpenAIProvider.h"
#include "async/FakeScheduler.h"
#include "http/LoopbackHttpServer.h"

#include <QSignalSpy>
#include <QTest>

using namespace vima;

// The service with real providers against a loopback server, on a fake clock:
// how probe results age, when the service probes again, and what a failed
// connection does to a provider's row.
class TestLLMServiceOllama : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<LoopbackHttpServer> server_;
    FakeScheduler scheduler_;
    std::unique_ptr<OllamaReachability> reachability_;
    std::unique_ptr<LLMService> service_;
    AISettings settings_;
    QString key_ = QStringLiteral("k");

    qsizetype probes() const { return server_->requests("/api/tags").size(); }

    Running<LLMService::Completion> complete()
    {
        return start(service_->complete(AIPayload{}, QStringLiteral("text"), settings_));
    }

private Q_SLOTS:
    void init()
    {
        server_ = std::make_unique<LoopbackHttpServer>();
        server_->setRoute("/api/tags", HttpRoute::reply(200, R"({"models":[{"name":"llama3.2"}]})"));
        server_->setRoute("/api/chat", HttpRoute::reply(200, R"({"message":{"content":"local answer"}})"));
        server_->setRoute("/v1/chat/completions",
                         HttpRoute::reply(200, R"({"choices":[{"message":{"content":"cloud"}}]})"));
        reachability_ = std::make_unique<OllamaReachability>(scheduler_);
        LLMService::ProviderTable table;
        table[LLMProviderKind::appleOnDevice] = std::make_unique<AppleOnDeviceProvider>();
        table[LLMProviderKind::ollama] = std::make_unique<OllamaProvider>(*reachability_, scheduler_);
        table[LLMProviderKind::openai] =
            std::make_unique<OpenAIProvider>(server_->url("/v1/chat/completions"), scheduler_);
        service_ = std::make_unique<LLMService>([this](LLMProviderKind) { return key_; },
                                                std::move(table), *reachability_);
        settings_ = AISettings();
        settings_.provider = LLMProviderKind::ollama;
        settings_.model = QStringLiteral("llama3.2");
        settings_.ollamaBaseURL = server_->url("").toString();
        settings_.autoFallback = false;
    }

    void refreshProbesAndRaisesTheRevision()
    {
        QSignalSpy revisions(service_.get(), &LLMService::statusRevisionChanged);
        QCOMPARE(service_->statusText(LLMProviderKind::ollama, settings_).kind,
                 LLMProviderStatus::Case::unavailable);
        const auto running = start(service_->refresh(settings_));
        QVERIFY(running.wait());
        QCOMPARE(probes(), 1);
        QCOMPARE(service_->statusRevision(), 1u);
        QCOMPARE(revisions.size(), 1);
        QVERIFY(service_->statusText(LLMProviderKind::ollama, settings_).isReady());
    }

    void aFreshResultIsUsedWithoutProbing()
    {
        QVERIFY(start(service_->refresh(settings_)).wait());
        scheduler_.advance(29);
        const auto running = complete();
        QVERIFY(running.wait());
        QCOMPARE(running->value->text, "local answer");
        QCOMPARE(probes(), 1);
    }

    void aStaleResultIsProbedAgainBeforeChoosing()
    {
        QVERIFY(start(service_->refresh(settings_)).wait());
        scheduler_.advance(30);
        QVERIFY(service_->candidates(AIPayload{}, settings_).isEmpty());

        QSignalSpy revisions(service_.get(), &LLMService::statusRevisionChanged);
        const auto fresh = start(service_->freshCandidates(AIPayload{}, settings_));
        QVERIFY(fresh.wait());
        QCOMPARE(*fresh->value, QList<LLMProviderKind>{LLMProviderKind::ollama});
        QCOMPARE(probes(), 2);
        QCOMPARE(revisions.size(), 1);

        scheduler_.advance(31);
        const auto running = complete();
        QVERIFY(running.wait());
        QCOMPARE(running->value->text, "local answer");
        QCOMPARE(running->value->provider, LLMProviderKind::ollama);
        QCOMPARE(probes(), 3);
    }

    void theProbeBeforeChoosingTakesAtMostOneAndAHalfSeconds()
    {
        server_->setRoute("/api/tags", HttpRoute::hanging());
        const auto running = complete();
        QTRY_COMPARE(probes(), 1);
        scheduler_.advance(1.5);
        QVERIFY(running.wait());
        QVERIFY(running->error);
        QCOMPARE(running->error->kind(), LLMError::Case::nothingAnswered);
        QCOMPARE(reachability_->readiness(settings_.ollamaBaseURL, settings_.model), OllamaReachability::Readiness::noServer);
    }

    void aFailedConnectionMarksTheServerNotRunningAtOnce()
    {
        QVERIFY(start(service_->refresh(settings_)).wait());
        QVERIFY(service_->statusText(LLMProviderKind::ollama, settings_).isReady());
        const QString address = server_->url("").toString();
        server_.reset(); // the server stops while its last probe is still fresh
        QSignalSpy revisions(service_.get(), &LLMService::statusRevisionChanged);
        const auto running = complete();
        QVERIFY(running.wait());
        const QString notRunning = "No server at " + address + ". Start Ollama and try again.";
        QCOMPARE(service_->statusText(LLMProviderKind::ollama, settings_),
                 LLMProviderStatus::unavailable(notRunning));
        QCOMPARE(revisions.size(), 1);
        QCOMPARE(running->error, LLMError::nothingAnswered(notRunning, LLMService::noProviderRecovery()));
    }

    // A server without the model is not ready for it: not a candidate, and the
    // failure says so; an item asking for a model it has still runs, and a
    // model pulled since is found before choosing.
    void aServerWithoutTheModelIsNoCandidate()
    {
        server_->setRoute("/api/tags", HttpRoute::reply(200, R"({"models":[{"name":"qwen2.5:7b"}]})"));
        QVERIFY(start(service_->refresh(settings_)).wait());
        const LLMProviderStatus notPulled = LLMProviderStatus::unavailable(
            "Ollama is running, but the model “llama3.2” isn't pulled yet. Get the model: ollama pull llama3.2");
        QCOMPARE(service_->statusText(LLMProviderKind::ollama, settings_), notPulled);
        QVERIFY(service_->candidates(AIPayload{}, settings_).isEmpty());
        AIPayload pulled;
        pulled.modelOverride = QStringLiteral("qwen2.5:7b");
        QCOMPARE(service_->candidates(pulled, settings_), QList<LLMProviderKind>{LLMProviderKind::ollama});

        const auto refused = complete();
        QVERIFY(refused.wait());
        QCOMPARE(refused->error, LLMError::nothingAnswered(notPulled.text, LLMService::noProviderRecovery()));
        QCOMPARE(server_->requests("/api/chat").size(), 0);

        server_->setRoute("/api/tags", HttpRoute::reply(200, R"({"models":[{"name":"llama3.2:latest"}]})"));
        const auto answered = complete();
        QVERIFY(answered.wait());
        QCOMPARE(answered->value->text, "local answer");
    }

    // The server answers that it lacks a model it listed: its row stops
    // reading "Ready" at once.
    void aMissingModelShowsAtOnce()
    {
        server_->setRoute("/api/chat", HttpRoute::reply(404, R"({"error":"model not found"})"));
        QVERIFY(start(service_->refresh(settings_)).wait());
        QVERIFY(service_->statusText(LLMProviderKind::ollama, settings_).isReady());
        QSignalSpy revisions(service_.get(), &LLMService::statusRevisionChanged);
        const auto running = complete();
        QVERIFY(running.wait());
        QVERIFY(running->error);
        QVERIFY(!service_->statusText(LLMProviderKind::ollama, settings_).isReady());
        QCOMPARE(revisions.size(), 1);
    }

    // There is no probe for a cloud provider: it stays a candidate, since the
    // network may be back, but its row reads why it failed until it answers
    // or its key changes.
    void aFailedCloudConnectionShowsUntilItAnswers()
    {
        settings_.provider = LLMProviderKind::openai;
        const auto rowReads = [this] { return service_->statusText(LLMProviderKind::openai, settings_); };
        QSignalSpy revisions(service_.get(), &LLMService::statusRevisionChanged);
        server_->setRoute("/v1/chat/completions", HttpRoute::closing());
        const auto dropped = complete();
        QVERIFY(dropped.wait());
        QVERIFY(dropped->error->description().startsWith("Network error: "));
        QCOMPARE(rowReads(), LLMProviderStatus::unavailable(dropped->error->description()));
        QCOMPARE(revisions.size(), 1);

        server_->setRoute("/v1/chat/completions", HttpRoute::reply(401, R"({"error":{"message":"bad"}})"));
        QVERIFY(complete().wait());
        QVERIFY(rowReads().isReady());
        QCOMPARE(revisions.size(), 2);

        // Testing a key the user has not saved says nothing about the row.
        server_->setRoute("/v1/chat/completions", HttpRoute::closing());
        QVERIFY(start(service_->test(LLMProviderKind::openai, QStringLiteral("draft"), QString())).wait());
        QVERIFY(rowReads().isReady());
        QVERIFY(start(service_->test(LLMProviderKind::openai, key_, QString())).wait());
        QCOMPARE(rowReads().kind, LLMProviderStatus::Case::unavailable);
        QCOMPARE(revisions.size(), 3);

        server_.reset();
        const auto refused = complete();
        QVERIFY(refused.wait());
        QCOMPARE(rowReads(), LLMProviderStatus::unavailable(refused->error->description()));
        QCOMPARE(service_->candidates(AIPayload{}, settings_), QList<LLMProviderKind>{LLMProviderKind::openai});
        key_ = QStringLiteral("another key");
        QVERIFY(rowReads().isReady());
    }

    void ollamaConsideredOnlyAsAFallbackIsProbedToo()
    {
        settings_.provider = LLMProviderKind::openai;
        settings_.autoFallback = true;
        const auto fresh = start(service_->freshCandidates(AIPayload{}, settings_));
        QVERIFY(fresh.wait());
        QCOMPARE(*fresh->value, (QList<LLMProviderKind>{LLMProviderKind::openai, LLMProviderKind::ollama}));
        QCOMPARE(probes(), 1);
    }

    void cancellingDuringTheProbeEndsAsCancelled()
    {
        server_->setRoute("/api/tags", HttpRoute::hanging());
        CancellationToken token;
        const auto running = start(service_->complete(AIPayload{}, "text", settings_, token));
        QTRY_COMPARE(probes(), 1);
        token.cancel();
        QVERIFY(running.wait());
        QCOMPARE(running->error, LLMError::cancelled());
    }

    void ollamaOutOfTheRunningIsNotProbed()
    {
        settings_.provider = LLMProviderKind::openai;
        const auto running = complete();
        QVERIFY(running.wait());
        QCOMPARE(running->value->text, "cloud");
        QCOMPARE(probes(), 0);
    }
};

QTEST_GUILESS_MAIN(TestLLMServiceOllama)
#include "tst_llm_service_ollama.moc"
