#include "Outcome.h"
#include "ai/HttpExchange.h"
#include "ai/LLMService.h"
#include "async/ChildProcess.h"
#include "async/FakeScheduler.h"
#include "http/LoopbackHttpServer.h"

#include <QDir>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryFile>
#include <QTest>
#include <curl/curl.h>
#include <unistd.h>

using namespace vima;

Q_DECLARE_METATYPE(vima::HttpRoute)
Q_DECLARE_METATYPE(vima::LLMError)

namespace {

HttpRequest requestFor(const QUrl &url) { return HttpRequest{url.toEncoded(), {}}; }

// What a process holds open beyond descriptors 0-2, files aside: its loader
// may still hold a library open for a moment.
QStringList heldBeyondStandard(qint64 pid)
{
    const QString folder = QStringLiteral("/proc/%1/fd/").arg(pid);
    QStringList held;
    for (const QString &descriptor : QDir(folder).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot)) {
        char target[256] = {};
        const ssize_t size = ::readlink(QFile::encodeName(folder + descriptor).constData(), target, sizeof target - 1);
        if (descriptor.toInt() > 2 && size > 0 && target[0] != '/')
            held.append(descriptor + QStringLiteral(" -> ") + QString::fromLocal8Bit(target, size));
    }
    return held;
}

bool curlDecodes(int feature) { return curl_version_info(CURLVERSION_NOW)->features & feature; }

} // namespace

class TestLLMTransport : public QObject {
    Q_OBJECT

private:
    LoopbackHttpServer server_;
    FakeScheduler scheduler_;

    Running<QByteArray> post(const QByteArray &path, double timeout = 10,
                             CancellationToken token = {})
    {
        return start(HttpExchange::send(requestFor(server_.url(QString::fromLatin1(path))), "POST",
                                      "{}", timeout, std::move(token), scheduler_));
    }

private Q_SLOTS:
    void initTestCase() { QVERIFY(server_.isListening()); }

    void successReturnsTheBodyUnchanged_data()
    {
        QTest::addColumn<int>("status");
        QTest::newRow("200") << 200;
        QTest::newRow("201") << 201;
        QTest::newRow("299") << 299;
    }

    void successReturnsTheBodyUnchanged()
    {
        QFETCH(int, status);
        const QByteArray body("\x00\xff raw {not json", 17);
        server_.setRoute("/ok", HttpRoute::reply(status, body, "application/octet-stream"));
        const auto running = post("/ok");
        QVERIFY(running.wait());
        QVERIFY(!running->error);
        QCOMPARE(*running->value, body);
    }

    void failedRepliesBecomeApiErrors_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QString>("description");

        QTest::newRow("300") << 300 << QByteArray("moved") << "Request failed (HTTP 300). moved";
        QTest::newRow("401 json")
            << 401 << QByteArray(R"({"type":"error","error":{"type":"authentication_error","message":"invalid x-api-key"}})")
            << "The API key was rejected (HTTP 401). invalid x-api-key";
        QTest::newRow("404 no json") << 404 << QByteArray() << "That model wasn't found (HTTP 404). ";
        QTest::newRow("429 json") << 429 << QByteArray(R"({"error":{"message":"Rate limit reached"}})")
                                  << "Rate limited by the provider. Rate limit reached";
        const QByteArray html = "<html><body>" + QByteArray(988, 'e');
        QTest::newRow("502 html") << 502 << html
                                  << "The provider had a server error (HTTP 502). "
                                         + QString::fromLatin1(html.left(300)) + QChar(0x2026);
        QTest::newRow("503 not utf-8") << 503 << QByteArray("\xff\xfe\xfd")
                                       << "The provider had a server error (HTTP 503). ";
        QTest::newRow("600") << 600 << QByteArray("?") << "Request failed (HTTP 600). ?";
    }

    void failedRepliesBecomeApiErrors()
    {
        QFETCH(int, status);
        QFETCH(QByteArray, body);
        QFETCH(QString, description);
        server_.setRoute("/fail", HttpRoute::reply(status, body, "text/html"));
        const auto running = post("/fail");
        QVERIFY(running.wait());
        QVERIFY(running->error);
        QCOMPARE(running->error->kind(), LLMError::Case::api);
        QCOMPARE(running->error->status(), status);
        QCOMPARE(running->error->description(), description);
    }

    void bodiesHaveACeiling_data()
    {
        QTest::addColumn<HttpRoute>("route");
        QTest::addColumn<bool>("tooLarge");
        const qint64 ceiling = HttpExchange::largestBody;
        QTest::newRow("at the ceiling") << HttpRoute::reply(200, QByteArray(ceiling, 'a')) << false;
        QTest::newRow("a byte over, announced") << HttpRoute::reply(200, QByteArray(ceiling + 1, 'a')) << true;
        QTest::newRow("at the ceiling, unannounced") << HttpRoute::streaming(200, ceiling) << false;
        QTest::newRow("a byte over, unannounced") << HttpRoute::streaming(200, ceiling + 1) << true;
        QTest::newRow("a runaway stream") << HttpRoute::streaming(200, 64 * ceiling) << true;
        QTest::newRow("a runaway error body") << HttpRoute::streaming(500, 64 * ceiling) << true;
        HttpRoute chunked = HttpRoute::streaming(200, ceiling);
        chunked.chunked = true;
        QTest::newRow("at the ceiling, chunked") << chunked << false;
    }

    void bodiesHaveACeiling()
    {
        QFETCH(HttpRoute, route);
        QFETCH(bool, tooLarge);
        server_.setRoute("/big", route);
        const auto running = post("/big");
        QVERIFY(running.wait(30000));
        if (!tooLarge) {
            QVERIFY(!running->error);
            QCOMPARE(running->value->size(), HttpExchange::largestBody);
            return;
        }
        QVERIFY(running->error);
        QCOMPARE(running->error->description(), QStringLiteral("The answer was too large (over 8 MB)."));
        QVERIFY(!running->error->allowsFallback());
    }

    // However an exchange stops, its connection is closed at once and the
    // server can push no more than what was already on its way.
    void aStoppedExchangeClosesItsConnection_data()
    {
        QTest::addColumn<HttpRoute>("route");
        QTest::addColumn<QString>("stop"); // ceiling, cancel or deadline
        QTest::addColumn<LLMError>("error");
        const qint64 ceiling = HttpExchange::largestBody;
        const LLMError tooLarge = LLMError::answerTooLarge(HttpExchange::largestBodyMB);

        HttpRoute endless = HttpRoute::streaming(200, HttpRoute::endless);
        endless.chunked = true;
        QTest::newRow("a chunked body without end") << endless << "ceiling" << tooLarge;
        QTest::newRow("a chunk extension without end") << HttpRoute::endlessChunkExtension() << "ceiling" << tooLarge;
        HttpRoute announced = HttpRoute::streaming(200, 4 * ceiling);
        announced.contentLength = 4 * ceiling;
        QTest::newRow("past the ceiling, announced") << announced << "ceiling" << tooLarge;
        QTest::newRow("past the ceiling, unannounced")
            << HttpRoute::streaming(200, HttpRoute::endless) << "ceiling" << tooLarge;
        QTest::newRow("one header field without end")
            << HttpRoute::longHead("a", HttpRoute::endless) << "ceiling" << LLMError::headersTooLarge();
        QTest::newRow("header lines without end")
            << HttpRoute::longHead("X-Line: b\r\n", HttpRoute::endless) << "ceiling" << LLMError::headersTooLarge();
        QTest::newRow("a 10 MB head")
            << HttpRoute::longHead("X-Line: b\r\n", 10 << 20) << "ceiling" << LLMError::headersTooLarge();
        // Compressed streams that decode to nothing, however long they run.
        QTest::newRow("a gzip file name without end")
            << HttpRoute::endlessEncoded("gzip", QByteArray("\x1f\x8b\x08\x08\0\0\0\0\0\x03", 10), "a")
            << "ceiling" << LLMError::invalidResponse();
        // Four empty fixed-code blocks in five bytes, after a zlib header.
        QTest::newRow("empty deflate blocks without end")
            << HttpRoute::endlessEncoded("deflate", "\x78\x9c", QByteArray("\x02\x08\x20\x80\0", 5))
            << "ceiling" << LLMError::invalidResponse();
        if (curlDecodes(CURL_VERSION_ZSTD))
            QTest::newRow("zstd skippable frames without end")
                << HttpRoute::endlessEncoded("zstd", {}, QByteArray("\x50\x2a\x4d\x18\0\0\0\0", 8))
                << "ceiling" << LLMError::invalidResponse();
        HttpRoute stalled = HttpRoute::streaming(200, 4096);
        stalled.chunked = true;
        stalled.ending = HttpRoute::Ending::hang;
        QTest::newRow("cancelled mid-body") << stalled << "cancel" << LLMError::cancelled();
        QTest::newRow("cancelled while a program started meanwhile runs")
            << stalled << "cancel, a program running" << LLMError::cancelled();
        QTest::newRow("timed out mid-body") << stalled << "deadline" << LLMError::timedOut();
    }

    void aStoppedExchangeClosesItsConnection()
    {
        QFETCH(HttpRoute, route);
        QFETCH(QString, stop);
        QFETCH(LLMError, error);
        const QByteArray path = "/stopped/" + QByteArray(QTest::currentDataTag()).replace(' ', '-');
        server_.setRoute(path, route);
        CancellationToken token;
        const auto running = post(path, 30, token);
        const auto connection = [&] { return server_.connections(path).value(0); };
        if (stop != QLatin1String("ceiling")) {
            QTRY_VERIFY(connection().bytesSent > 4096);
            QTest::qWait(20);
            QVERIFY(!running->done);
        }
        // A script or an application started during an exchange inherits nothing of it.
        QProcess program;
        if (stop == QLatin1String("cancel, a program running")) {
            ChildProcess::inheritStandardOnly(program);
            program.start(QStringLiteral("sleep"), {QStringLiteral("10")});
            QVERIFY(program.waitForStarted());
            QCOMPARE(heldBeyondStandard(program.processId()), QStringList());
        }
        if (stop.startsWith(QLatin1String("cancel")))
            token.cancel();
        if (stop == QLatin1String("deadline"))
            scheduler_.advance(30);
        QVERIFY(running.wait());
        QCOMPARE(running->error.value_or(LLMError::invalidResponse()).description(), error.description());

        const qint64 stoppedAt = server_.now();
        const qint64 sentBefore = connection().bytesSent;
        QTRY_VERIFY_WITH_TIMEOUT(connection().closedAtMs.has_value(), 1000);
        QCOMPARE_LE(*connection().closedAtMs - stoppedAt, 1000);
        // No more than the system's socket buffers held.
        QCOMPARE_LE(connection().bytesSent - sentBefore, 2 * HttpExchange::largestBody);
        QCOMPARE(server_.connections(path).size(), 1);
        program.kill();
        program.waitForFinished();
    }

    // A server that answered and then sent a body that broke off or can't be
    // decoded was reached: its failure is no network error.
    void aBrokenBodyIsNoNetworkError_data()
    {
        QTest::addColumn<HttpRoute>("route");
        HttpRoute cut = HttpRoute::reply(200, "{\"message\": {\"content\": \"hal");
        cut.contentLength = 4096;
        QTest::newRow("cut short") << cut;
        HttpRoute garbled = HttpRoute::reply(200, "not gzip at all");
        garbled.headers.append(qMakePair(QByteArray("Content-Encoding"), QByteArray("gzip")));
        QTest::newRow("undecodable") << garbled;
    }

    void aBrokenBodyIsNoNetworkError()
    {
        QFETCH(HttpRoute, route);
        server_.setRoute("/broken", route);
        const auto running = post("/broken");
        QVERIFY(running.wait());
        QCOMPARE(running->error, LLMError::invalidResponse());
    }

    // `{here}` and `{away}` in a location or message stand for the server's
    // address and another loopback host's.
    void redirectsStayWithinTheOrigin_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("location");
        QTest::addColumn<QByteArray>("method"); // that reached the target; empty when refused
        QTest::addColumn<QString>("message");

        QTest::newRow("307 keeps the method") << 307 << QByteArray("/ok-here") << QByteArray("POST") << QString();
        QTest::newRow("302 turns a POST into GET") << 302 << QByteArray("/ok-here") << QByteArray("GET") << QString();
        QTest::newRow("303, absolute") << 303 << QByteArray("http://{here}/ok-here") << QByteArray("GET") << QString();
        QTest::newRow("to itself without end")
            << 308 << QByteArray("/hop") << QByteArray()
            << "Request failed (HTTP 308). It redirected more than 10 times, last to “http://{here}/hop”.";
        QTest::newRow("another host, user info not shown")
            << 301 << QByteArray("http://user:secret@{away}/ok-here") << QByteArray()
            << "Request failed (HTTP 301). It redirected elsewhere, to “http://{away}/ok-here”, which Tavelon doesn't "
               "follow.";
        QTest::newRow("a bare CR, shown as libcurl reads it")
            << 307 << QByteArray("//{away}\r@{here}/ok-here") << QByteArray()
            << "Request failed (HTTP 307). It redirected to “http://{away}/”, an address holding control "
               "characters, which Tavelon doesn't follow.";
        QTest::newRow("unreadable")
            << 302 << QByteArray("http://[::1/ok-here") << QByteArray()
            << "Request failed (HTTP 302). It redirected to “http://[::1/ok-here”, an address Tavelon can't read.";
        QTest::newRow("unreadable, user info not shown")
            << 302 << QByteArray("http://user:se#cret@{away}/ok-here") << QByteArray()
            << "Request failed (HTTP 302). It redirected to “http://{away}/ok-here”, an address Tavelon can't read.";
        QTest::newRow("empty") << 307 << QByteArray() << QByteArray()
                               << "Request failed (HTTP 307). It redirected without saying where to.";
        // From [::1], whose zone is none.
        QTest::newRow("another IPv6 zone")
            << 307 << QByteArray("http://{zoned}/ok-here") << QByteArray()
            << "Request failed (HTTP 307). It redirected elsewhere, to “http://{zoned}/ok-here”, which Tavelon "
               "doesn't follow.";
    }

    void redirectsStayWithinTheOrigin()
    {
        QFETCH(int, status);
        QFETCH(QByteArray, location);
        QFETCH(QByteArray, method);
        QFETCH(QString, message);
        LoopbackHttpServer away(QHostAddress(QStringLiteral("127.0.0.2")));
        QVERIFY(away.isListening());
        LoopbackHttpServer ipv6(QHostAddress::LocalHostIPv6);
        const bool zoned = location.contains("{zoned}");
        if (zoned && !ipv6.isListening())
            QSKIP("No IPv6 loopback here.");
        LoopbackHttpServer &origin = zoned ? ipv6 : server_;
        const QByteArray here = "127.0.0.1:" + QByteArray::number(server_.port());
        const QByteArray there = "127.0.0.2:" + QByteArray::number(away.port());
        const QByteArray zone = "[::1%25lo]:" + QByteArray::number(ipv6.port());
        location.replace("{here}", here).replace("{away}", there).replace("{zoned}", zone);
        message.replace("{here}", QString::fromLatin1(here))
            .replace("{away}", QString::fromLatin1(there))
            .replace("{zoned}", QString::fromLatin1(zone));
        origin.setRoute("/hop", HttpRoute::redirect(status, location));
        origin.setRoute("/ok-here", HttpRoute::reply(200, "done"));
        const qsizetype before = origin.requests("/ok-here").size();
        const auto running = start(HttpExchange::send(requestFor(origin.url("/hop")), "POST", "{}", 10, {}, scheduler_));
        QVERIFY(running.wait());
        QCOMPARE(away.connectionCount(), 0);
        if (method.isEmpty()) {
            QVERIFY(running->error);
            QCOMPARE(running->error->description(), message);
            QCOMPARE(origin.requests("/ok-here").size(), before);
            return;
        }
        QCOMPARE(running->value.value_or("failed"), "done");
        QCOMPARE(origin.requests("/ok-here").last().method, method);
        QCOMPARE(origin.requests("/ok-here").last().body, method == "POST" ? QByteArray("{}") : QByteArray());
    }

    void aHangingServerTimesOutAtTheDeadline()
    {
        server_.setRoute("/hang", HttpRoute::hanging());
        const qsizetype before = server_.requests("/hang").size();
        const auto running = post("/hang", 7.5);
        QTRY_COMPARE(server_.requests("/hang").size(), before + 1);
        scheduler_.advance(7.4);
        QTest::qWait(50);
        QVERIFY(!running->done);
        scheduler_.advance(0.1);
        QVERIFY(running.wait());
        QCOMPARE(running->error, LLMError::timedOut());
        QCOMPARE(running->error->recoverySuggestion(), "Try again, or raise the timeout in Settings → AI.");
    }

    void theDeadlineCoversTheWholeExchange()
    {
        // The server is silent longer than the time-out; a real clock decides.
        HttpRoute slow = HttpRoute::reply(200, "late");
        slow.delayMs = 5000;
        server_.setRoute("/slow", slow);
        const auto running = start(HttpExchange::send(requestFor(server_.url("/slow")), "POST", "{}",
                                                    0.3, {}, Scheduler::system()));
        QVERIFY(running.wait());
        QCOMPARE(running->error, LLMError::timedOut());
    }

    void aDelayedAnswerWithinTheDeadlineArrives()
    {
        HttpRoute slow = HttpRoute::reply(200, "in time");
        slow.delayMs = 100;
        server_.setRoute("/delayed", slow);
        const auto running = start(HttpExchange::send(requestFor(server_.url("/delayed")), "POST",
                                                    "{}", 10, {}, Scheduler::system()));
        QVERIFY(running.wait());
        QCOMPARE(*running->value, "in time");
    }

    void cancellingAbortsTheExchange()
    {
        server_.setRoute("/hang", HttpRoute::hanging());
        const qsizetype before = server_.requests("/hang").size();
        CancellationToken token;
        const auto running = post("/hang", 30, token);
        QTRY_COMPARE(server_.requests("/hang").size(), before + 1);
        token.cancel();
        QVERIFY(running->done); // the abort resumes the exchange at once
        QCOMPARE(running->error, LLMError::cancelled());
        QCOMPARE(scheduler_.pendingCount(), 0); // the deadline went with it
    }

    void anAlreadyCancelledTokenSendsNothing()
    {
        CancellationToken token;
        token.cancel();
        const qsizetype before = server_.requests().size();
        const auto running = post("/ok", 10, token);
        QVERIFY(running.wait());
        QCOMPARE(running->error, LLMError::cancelled());
        QTest::qWait(50);
        QCOMPARE(server_.requests().size(), before);
    }

    void aRefusedConnectionIsATransportError()
    {
        QUrl url = server_.url("/v1/messages");
        url.setPort(LoopbackHttpServer::closedPort());
        const auto running = start(HttpExchange::send(requestFor(url), "POST", "{}", 10, {}, scheduler_));
        QVERIFY(running.wait());
        QVERIFY(running->error);
        QCOMPARE(running->error->kind(), LLMError::Case::transport);
        QVERIFY(!running->error->text().isEmpty());
        QCOMPARE(running->error->description(), "Network error: " + running->error->text());
        QCOMPARE(running->error->recoverySuggestion(), std::nullopt);
    }

    void aConnectionClosedWithoutReplyIsATransportError()
    {
        server_.setRoute("/close", HttpRoute::closing());
        const auto running = post("/close");
        QVERIFY(running.wait());
        QVERIFY(running->error);
        QCOMPARE(running->error->kind(), LLMError::Case::transport);
    }

    void aReplyThatIsNotHttpIsInvalid()
    {
        QTemporaryFile file;
        QVERIFY(file.open());
        file.write("{\"content\":[]}");
        file.flush();
        const auto running = start(HttpExchange::send(requestFor(QUrl::fromLocalFile(file.fileName())),
                                                    "GET", {}, 10, {}, scheduler_));
        QVERIFY(running.wait());
        QCOMPARE(running->error, LLMError::invalidResponse());
    }

    void nothingIsCachedBetweenExchanges()
    {
        HttpRoute cacheable = HttpRoute::reply(200, "first");
        cacheable.headers.append(qMakePair(QByteArray("Cache-Control"), QByteArray("max-age=3600")));
        server_.setRoute("/cacheable", cacheable);
        const auto first = start(HttpExchange::send(requestFor(server_.url("/cacheable")), "GET", {},
                                                  10, {}, scheduler_));
        QVERIFY(first.wait());
        server_.setRoute("/cacheable", HttpRoute::reply(200, "second"));
        const auto second = start(HttpExchange::send(requestFor(server_.url("/cacheable")), "GET", {},
                                                   10, {}, scheduler_));
        QVERIFY(second.wait());
        QCOMPARE(*second->value, "second");
        QCOMPARE(server_.requests("/cacheable").size(), 2);
    }
};

QTEST_GUILESS_MAIN(TestLLMTransport)
#include "tst_llm_transport.moc"
