#include "Outcome.h"
#include "ai/OllamaProvider.h"
#include "ai/OllamaReachability.h"
#include "async/FakeScheduler.h"
#include "http/LoopbackHttpServer.h"

#include <QTest>

using namespace vima;

Q_DECLARE_METATYPE(vima::HttpRoute)

using Readiness = OllamaReachability::Readiness;

class TestOllamaReachability : public QObject {
    Q_OBJECT

private:
    LoopbackHttpServer server_;
    FakeScheduler scheduler_;
    std::unique_ptr<OllamaReachability> reachability_;

    bool probe(const QUrl &base, CancellationToken token = {})
    {
        const auto running = start(reachability_->probe(base, token));
        if (!running.wait())
            return false;
        return *running->value;
    }

    // How far the server is from answering for the model "b", and its status.
    Readiness readiness(const QUrl &base) const { return reachability_->readiness(base, QStringLiteral("b")); }
    LLMProviderStatus statusAt(const QUrl &base)
    {
        return OllamaProvider(*reachability_, scheduler_).status(LLMCredentials{std::nullopt, base},
                                                                 QStringLiteral("b"));
    }

private Q_SLOTS:
    void init() { reachability_ = std::make_unique<OllamaReachability>(scheduler_); }

    void beforeAnyProbeNothingIsKnown()
    {
        QCOMPARE(readiness(server_.url("")), Readiness::unknown);
        QCOMPARE(statusAt(server_.url("")),
                 LLMProviderStatus::unavailable("Not detected yet — open Settings → AI to check."));
    }

    void probeResults_data()
    {
        QTest::addColumn<HttpRoute>("route");
        QTest::addColumn<bool>("reachable");
        QTest::addColumn<QVariant>("models"); // invalid: no list known
        QTest::addColumn<bool>("pulled");      // whether "b" counts as on the server
        QTest::newRow("empty model list") << HttpRoute::reply(200, R"({"models":[]})") << true
                                          << QVariant(QStringList()) << false;
        QTest::newRow("model list") << HttpRoute::reply(200, R"({"models":[{"name":"a:7b"},{"x":1},{"name":"b"}]})")
                                    << true << QVariant(QStringList{"a:7b", "b"}) << true;
        QTest::newRow("another model") << HttpRoute::reply(200, R"({"models":[{"name":"b:7b"}]})") << true
                                       << QVariant(QStringList{"b:7b"}) << false;
        QTest::newRow("no list") << HttpRoute::reply(200, "ok") << true << QVariant() << true;
        QTest::newRow("empty body") << HttpRoute::reply(200, {}) << false << QVariant() << false;
        QTest::newRow("server error") << HttpRoute::reply(500, R"({"models":[]})") << false << QVariant() << false;
        QTest::newRow("closed without reply") << HttpRoute::closing() << false << QVariant() << false;
        // A server that answered is running, however badly its list came.
        HttpRoute runaway = HttpRoute::streaming(200, HttpRoute::endless);
        runaway.chunked = true;
        QTest::newRow("a runaway model list") << runaway << true << QVariant() << true;
        HttpRoute cut = HttpRoute::reply(200, "{\"models\": [{\"name\": \"b\"}");
        cut.contentLength = 4096;
        QTest::newRow("a model list cut short") << cut << true << QVariant() << true;
    }

    void probeResults()
    {
        QFETCH(HttpRoute, route);
        QFETCH(bool, reachable);
        QFETCH(QVariant, models);
        QFETCH(bool, pulled);
        server_.setRoute("/api/tags", route);
        const QUrl base = server_.url("");
        QCOMPARE(probe(base), reachable);
        QCOMPARE(server_.requests("/api/tags").last().method, "GET");
        QTRY_VERIFY_WITH_TIMEOUT(server_.connections("/api/tags").last().closedAtMs.has_value(), 1000);
        QCOMPARE(readiness(base), !reachable ? Readiness::noServer : pulled ? Readiness::ready : Readiness::notPulled);
        QCOMPARE(reachability_->models(base),
                 models.isValid() ? std::optional(models.toStringList()) : std::nullopt);
        const LLMProviderStatus expected = !reachable
            ? LLMProviderStatus::unavailable("No server at " + base.toString()
                                             + ". Start Ollama and try again.")
            : pulled ? LLMProviderStatus::ready()
                     : LLMProviderStatus::unavailable(
                           "Ollama is running, but the model “b” isn't pulled yet. Get the model: ollama pull b");
        QCOMPARE(statusAt(base), expected);
    }

    void aHangingServerIsGivenUpAfterOneAndAHalfSeconds()
    {
        server_.setRoute("/hung/api/tags", HttpRoute::hanging());
        const QUrl base = server_.url("/hung/");
        const auto running = start(reachability_->probe(base));
        QTRY_COMPARE(server_.requests("/hung/api/tags").size(), 1);
        scheduler_.advance(1.49);
        QTest::qWait(20);
        QVERIFY(!running->done);
        scheduler_.advance(0.01);
        QVERIFY(running.wait());
        QCOMPARE(*running->value, false);
        QCOMPARE(readiness(base), Readiness::noServer);
    }

    void resultsGoStaleAfterThirtySeconds()
    {
        server_.setRoute("/api/tags", HttpRoute::reply(200, R"({"models":[]})"));
        const QUrl base = server_.url("");
        QVERIFY(probe(base));
        scheduler_.advance(29);
        QCOMPARE(readiness(base), Readiness::notPulled);
        QCOMPARE(reachability_->models(base), QStringList());
        scheduler_.advance(1);
        QCOMPARE(readiness(base), Readiness::unknown);
        QCOMPARE(reachability_->models(base), std::nullopt);
        QCOMPARE(statusAt(base).text, "Not detected yet — open Settings → AI to check.");
    }

    void addressesDifferingByATrailingSlashAreDifferentKeys()
    {
        server_.setRoute("/x/api/tags", HttpRoute::reply(200, "{}"));
        QVERIFY(probe(server_.url("/x/")));
        QCOMPARE(readiness(server_.url("/x/")), Readiness::ready);
        QCOMPARE(readiness(server_.url("/x")), Readiness::unknown);
    }

    void aCancelledProbeRecordsNothing()
    {
        server_.setRoute("/api/tags", HttpRoute::hanging());
        CancellationToken token;
        const auto running = start(reachability_->probe(server_.url(""), token));
        token.cancel();
        QVERIFY(running.wait());
        QCOMPARE(*running->value, false);
        QCOMPARE(readiness(server_.url("")), Readiness::unknown);
    }

    // The cache goes with the process's services, maybe before its probe answers.
    void aProbeOutlivingItsCacheEndsWithoutIt()
    {
        server_.setRoute("/gone/api/tags", HttpRoute::hanging());
        const auto running = start(reachability_->probe(server_.url("/gone/")));
        QTRY_COMPARE(server_.requests("/gone/api/tags").size(), 1);
        reachability_.reset();
        QVERIFY(running.wait());
        QCOMPARE(*running->value, false);
    }

    void pathsAreAppendedAfterTheBasePath_data()
    {
        QTest::addColumn<QString>("base");
        QTest::addColumn<QString>("joined");
        QTest::newRow("host only") << "http://localhost:11434" << "http://localhost:11434/api/tags";
        QTest::newRow("root") << "http://localhost:11434/" << "http://localhost:11434/api/tags";
        QTest::newRow("path") << "http://h/ollama" << "http://h/ollama/api/tags";
        QTest::newRow("path and slash") << "http://h/ollama/" << "http://h/ollama/api/tags";
    }

    void pathsAreAppendedAfterTheBasePath()
    {
        QFETCH(QString, base);
        QFETCH(QString, joined);
        QCOMPARE(OllamaReachability::appending(QUrl(base), "api/tags").toString(), joined);
    }

    void theDefaultAddressIsTheLocalServer()
    {
        QCOMPARE(OllamaReachability::defaultURL().toString(), "http://localhost:11434");
    }
};

QTEST_GUILESS_MAIN(TestOllamaReachability)
#include "tst_ollama_reachability.moc"
