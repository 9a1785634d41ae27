#include "Outcome.h"
#include "ai/LLMService.h"
#include "http/LoopbackHttpServer.h"

#include <QTest>

using namespace vima;

// The real providers and clock, with the cloud endpoints pointed at a loopback
// server: the chosen provider fails and the answer arrives from the next one.
class TestLLMEndToEnd : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void anthropicFailsAndOpenAIAnswersWithTheNote()
    {
        LoopbackHttpServer server;
        QVERIFY(server.isListening());
        server.setRoute("/v1/messages",
                        HttpRoute::reply(503, R"({"type":"error","error":{"type":"overloaded_error","message":"Overloaded"}})"));
        server.setRoute("/v1/chat/completions",
                        HttpRoute::reply(200, R"({"choices":[{"message":{"role":"assistant","content":"  Hola, mundo.\n"}}]})"));

        OllamaReachability reachability;
        const LLMService::Endpoints endpoints{server.url("/v1/messages"),
                                              server.url("/v1/chat/completions")};
        const QMap<LLMProviderKind, QString> keys{{LLMProviderKind::anthropic, "sk-ant-test"},
                                                  {LLMProviderKind::openai, "sk-openai-test"}};
        LLMService service([keys](LLMProviderKind kind) { return std::optional(keys.value(kind)); },
                           LLMService::standardProviders(endpoints, reachability, Scheduler::system()),
                           reachability);

        AISettings settings;
        settings.provider = LLMProviderKind::anthropic;
        settings.model = QStringLiteral("claude-test");
        settings.timeout = 10;
        QUrl ollama = server.url("");
        ollama.setPort(LoopbackHttpServer::closedPort());
        settings.ollamaBaseURL = ollama.toString();

        AIPayload payload;
        payload.systemPrompt = QStringLiteral("Translate into Spanish.");

        const auto running = start(service.complete(payload, QStringLiteral("Hello, world."), settings));
        QVERIFY(running.wait(20000));
        QVERIFY2(running->value, running->error ? qPrintable(running->error->description()) : "");
        QCOMPARE(running->value->text, "Hola, mundo.");
        QCOMPARE(running->value->provider, LLMProviderKind::openai);
        QCOMPARE(running->value->fallbackNote,
                 "Used OpenAI instead of Anthropic. The provider had a server error (HTTP 503). Overloaded");

        const HttpRecordedRequest anthropic = server.requests("/v1/messages").first();
        QCOMPARE(anthropic.header("x-api-key"), "sk-ant-test");
        QCOMPARE(anthropic.json()["model"].toString(), "claude-test");
        const HttpRecordedRequest openAI = server.requests("/v1/chat/completions").first();
        QCOMPARE(openAI.header("authorization"), "Bearer sk-openai-test");
        QCOMPARE(openAI.json()["model"].toString(), "gpt-4o");
    }
};

QTEST_GUILESS_MAIN(TestLLMEndToEnd)
#include "tst_llm_end_to_end.moc"
