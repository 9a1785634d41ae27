#include "FakeProvider.h"
#include "Outcome.h"
#include "ai/AppleOnDeviceProvider.h"
#include "ai/LLMService.h"
#include "async/FakeScheduler.h"
#include "http/LoopbackHttpServer.h"

#include <QTest>

using namespace vima;

Q_DECLARE_METATYPE(vima::LLMProviderKind)

namespace {

using Kind = LLMProviderKind;

// Notes each request in the order the service makes them.
class Recorded final : public LLMProvider {
public:
    Recorded(std::unique_ptr<const LLMProvider> inner, QStringList &tried)
        : inner_(std::move(inner)), tried_(tried)
    {
    }

    Kind kind() const override { return inner_->kind(); }
    LLMProviderStatus status(const LLMCredentials &credentials, const QString &model) const override
    {
        return inner_->status(credentials, model);
    }
    QCoro::Task<LLMResponse> complete(LLMRequest request, LLMCredentials credentials,
                                      CancellationToken token) const override
    {
        tried_ << rawValue(kind());
        co_return co_await inner_->complete(std::move(request), std::move(credentials), std::move(token));
    }

private:
    std::unique_ptr<const LLMProvider> inner_;
    QStringList &tried_;
};

const QByteArray overloaded = R"({"error":{"message":"Overloaded"}})";

} // namespace

// Where the selected text may go. The network providers talk to a loopback
// server that fails every request, so each walk shows every provider it
// tried; the on-device stand-in lets a local fallback happen at all.
class TestLLMRouting : public QObject {
    Q_OBJECT

    FakeScheduler scheduler_;
    std::unique_ptr<LoopbackHttpServer> server_;
    std::unique_ptr<OllamaReachability> reachability_;
    std::shared_ptr<FakeProvider::Script> onDevice_;
    std::unique_ptr<LLMService> service_;
    QMap<Kind, QString> keys_;
    QStringList tried_;
    QString stoppedOllama_;

    // `ready`: the kinds that can take a request (a key saved, the server up).
    AISettings setUp(Kind chosen, bool autoFallback, const QStringList &ready)
    {
        for (Kind kind : {Kind::anthropic, Kind::openai}) {
            if (ready.contains(rawValue(kind)))
                keys_.insert(kind, QStringLiteral("sk-") + rawValue(kind));
        }
        onDevice_->status = ready.contains(rawValue(Kind::appleOnDevice))
            ? LLMProviderStatus::ready()
            : LLMProviderStatus::unavailable(AppleOnDeviceProvider::reason());
        AISettings settings;
        settings.provider = chosen;
        settings.model = defaultModel(chosen);
        settings.autoFallback = autoFallback;
        settings.ollamaBaseURL = ready.contains(rawValue(Kind::ollama)) ? server_->url(QString()).toString()
                                                                       : stoppedOllama_;
        return settings;
    }

    Running<LLMService::Completion> complete(const AISettings &settings, bool strong)
    {
        AIPayload payload;
        payload.systemPrompt = QStringLiteral("Translate.");
        payload.needsStrongModel = strong;
        return start(service_->complete(payload, QStringLiteral("private text"), settings));
    }

    bool cloudAsked() const
    {
        return !server_->requests("/v1/messages").isEmpty()
               || !server_->requests("/v1/chat/completions").isEmpty();
    }

private Q_SLOTS:
    void init()
    {
        server_ = std::make_unique<LoopbackHttpServer>();
        QVERIFY(server_->isListening());
        server_->setRoute("/api/tags", HttpRoute::reply(200, R"({"models":[{"name":"llama3.2"}]})"));
        server_->setRoute("/api/chat", HttpRoute::reply(503, overloaded));
        server_->setRoute("/v1/messages", HttpRoute::reply(503, overloaded));
        server_->setRoute("/v1/chat/completions", HttpRoute::reply(503, overloaded));
        keys_.clear();
        tried_.clear();
        QUrl stopped = server_->url(QString());
        stopped.setPort(LoopbackHttpServer::closedPort());
        stoppedOllama_ = stopped.toString();

        reachability_ = std::make_unique<OllamaReachability>(scheduler_);
        onDevice_ = std::make_shared<FakeProvider::Script>();
        onDevice_->result = LLMError::providerUnavailable(Kind::appleOnDevice, QStringLiteral("busy"));
        LLMService::ProviderTable table = LLMService::standardProviders(
            {server_->url("/v1/messages"), server_->url("/v1/chat/completions")}, *reachability_, scheduler_);
        table[Kind::appleOnDevice] = std::make_unique<FakeProvider>(Kind::appleOnDevice, onDevice_);
        LLMService::ProviderTable recorded;
        for (auto &[kind, provider] : table)
            recorded[kind] = std::make_unique<Recorded>(std::move(provider), tried_);
        service_ = std::make_unique<LLMService>(
            [this](Kind kind) { return keys_.contains(kind) ? std::optional(keys_.value(kind)) : std::nullopt; },
            std::move(recorded), *reachability_);
    }

    void routing_data()
    {
        QTest::addColumn<Kind>("chosen");
        QTest::addColumn<bool>("autoFallback");
        QTest::addColumn<bool>("strong");
        QTest::addColumn<QString>("ready");
        QTest::addColumn<QString>("tried");
        QTest::addColumn<bool>("cloud");

        const QString all = QStringLiteral("appleOnDevice,ollama,anthropic,openai");
        QTest::newRow("local chosen falls back to local only")
            << Kind::ollama << true << false << all << "ollama,appleOnDevice" << false;
        QTest::newRow("local chosen and stopped, keys saved: nothing leaves")
            << Kind::ollama << true << false << "anthropic,openai" << "" << false;
        QTest::newRow("local chosen, no fallback") << Kind::ollama << false << false << all << "ollama" << false;
        QTest::newRow("strong model with keys: cloud first, then local")
            << Kind::ollama << true << true << all << "anthropic,openai,ollama,appleOnDevice" << true;
        QTest::newRow("strong model, no fallback: the first only")
            << Kind::ollama << false << true << all << "anthropic" << true;
        QTest::newRow("strong model without keys stays local")
            << Kind::ollama << true << true << "ollama,appleOnDevice" << "ollama,appleOnDevice" << false;
        QTest::newRow("strong model, one key, local stopped")
            << Kind::ollama << true << true << "openai" << "openai" << true;
        QTest::newRow("stored on-device choice falls back to local")
            << Kind::appleOnDevice << true << false << "ollama,anthropic" << "ollama" << false;
        QTest::newRow("cloud chosen falls back to any")
            << Kind::anthropic << true << false << all << "anthropic,appleOnDevice,ollama,openai" << true;
        QTest::newRow("cloud chosen, no fallback") << Kind::anthropic << false << false << all << "anthropic" << true;
        QTest::newRow("cloud chosen without its key, local ready")
            << Kind::anthropic << true << false << "ollama" << "ollama" << false;
        QTest::newRow("cloud chosen, other cloud by fallback")
            << Kind::openai << true << false << "ollama,anthropic" << "ollama,anthropic" << true;
    }

    void routing()
    {
        QFETCH(Kind, chosen);
        QFETCH(bool, autoFallback);
        QFETCH(bool, strong);
        QFETCH(QString, ready);
        QFETCH(QString, tried);
        QFETCH(bool, cloud);
        const auto running = complete(setUp(chosen, autoFallback, ready.split(QLatin1Char(','))), strong);
        QVERIFY(running.wait());
        QVERIFY(running->error);
        QCOMPARE(tried_.join(QLatin1Char(',')), tried);
        QCOMPARE(cloudAsked(), cloud);
        for (const HttpRecordedRequest &request : server_->requests()) {
            if (request.path != "/api/tags")
                QVERIFY(request.body.contains("private text"));
        }
    }

    void theChosenProvidersFailureComesFirst_data()
    {
        QTest::addColumn<Kind>("chosen");
        QTest::addColumn<bool>("strong");
        QTest::addColumn<QString>("ready");
        QTest::addColumn<QString>("message"); // %1: the stopped Ollama address
        QTest::addColumn<QString>("recovery");

        const QString start = QStringLiteral("Start a local Ollama server and pull its model, or add an API key in Settings → AI.");
        QTest::newRow("stopped, nothing else may run")
            << Kind::ollama << false << "anthropic" << "No server at %1. Start Ollama and try again."
            << start;
        QTest::newRow("stopped, then the strong model's providers")
            << Kind::ollama << true << "anthropic,openai"
            << "No server at %1. Start Ollama and try again.\n"
               "Also tried Anthropic: The provider had a server error (HTTP 503). Overloaded\n"
               "Also tried OpenAI: The provider had a server error (HTTP 503). Overloaded"
            << start;
        QTest::newRow("chosen tried after a strong one")
            << Kind::ollama << true << "ollama,anthropic,appleOnDevice"
            << "Ollama (local): The provider had a server error (HTTP 503). Overloaded\n"
               "Also tried Anthropic: The provider had a server error (HTTP 503). Overloaded\n"
               "Also tried Apple On-Device: Apple On-Device isn't available: busy"
            << "";
        QTest::newRow("stored on-device choice")
            << Kind::appleOnDevice << false << "ollama"
            << "There is no on-device model on Linux. Use a local Ollama server, or add an API key.\n"
               "Also tried Ollama (local): The provider had a server error (HTTP 503). Overloaded"
            << start;
    }

    void theChosenProvidersFailureComesFirst()
    {
        QFETCH(Kind, chosen);
        QFETCH(bool, strong);
        QFETCH(QString, ready);
        QFETCH(QString, message);
        QFETCH(QString, recovery);
        const auto running = complete(setUp(chosen, true, ready.split(QLatin1Char(','))), strong);
        QVERIFY(running.wait());
        QVERIFY(running->error);
        QCOMPARE(running->error->description(), message.replace(QStringLiteral("%1"), stoppedOllama_));
        QCOMPARE(running->error->recoverySuggestion().value_or(QString()), recovery);
    }
};

QTEST_GUILESS_MAIN(TestLLMRouting)
#include "tst_llm_routing.moc"
