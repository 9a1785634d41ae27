#include "ai/HttpExchange.h"
#include "ai/LLMError.h"
#include "ai/LLMRequest.h"
#include "ai/LLMService.h"
#include "ai/ProviderDisplayName.h"

#include <QTest>
#include <cmath>
#include <limits>

using namespace vima;

Q_DECLARE_METATYPE(vima::LLMError)

namespace {
const QString noSuggestion = QStringLiteral("<none>");
}

class TestLLMError : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void texts_data()
    {
        QTest::addColumn<LLMError>("error");
        QTest::addColumn<QString>("description");
        QTest::addColumn<QString>("suggestion");
        QTest::addColumn<bool>("movesOn");

        QTest::newRow("missing key") << LLMError::missingAPIKey(LLMProviderKind::openai)
                                     << "No OpenAI API key saved."
                                     << "Set one up in Settings → AI." << true;
        QTest::newRow("401") << LLMError::api(401, "bad key")
                             << "The API key was rejected (HTTP 401). bad key"
                             << "Check the key in Settings → AI." << true;
        QTest::newRow("403") << LLMError::api(403, "no")
                             << "The API key was rejected (HTTP 403). no"
                             << "Check the key in Settings → AI." << true;
        QTest::newRow("404") << LLMError::api(404, "gone")
                             << "That model wasn't found (HTTP 404). gone"
                             << "Check the model name in Settings → AI." << false;
        QTest::newRow("429") << LLMError::api(429, "slow down")
                             << "Rate limited by the provider. slow down"
                             << "Wait a moment and try again." << true;
        QTest::newRow("500") << LLMError::api(500, "x")
                             << "The provider had a server error (HTTP 500). x" << noSuggestion << true;
        QTest::newRow("599") << LLMError::api(599, "")
                             << "The provider had a server error (HTTP 599). " << noSuggestion << true;
        QTest::newRow("600") << LLMError::api(600, "odd") << "Request failed (HTTP 600). odd"
                             << noSuggestion << true;
        QTest::newRow("400") << LLMError::api(400, "bad") << "Request failed (HTTP 400). bad"
                             << noSuggestion << false;
        QTest::newRow("300") << LLMError::api(300, "") << "Request failed (HTTP 300). "
                             << noSuggestion << false;
        QTest::newRow("transport") << LLMError::transport("Connection refused")
                                   << "Network error: Connection refused" << noSuggestion << true;
        QTest::newRow("unavailable")
            << LLMError::providerUnavailable(LLMProviderKind::ollama, "down")
            << "Ollama (local) isn't available: down" << "Pick a different provider in Settings → AI."
            << true;
        QTest::newRow("too long") << LLMError::inputTooLong(LLMProviderKind::appleOnDevice)
                                  << "Your selection is too long for Apple On-Device."
                                  << "Select less text, or add an API key in Settings → AI to use a cloud model."
                                  << true;
        QTest::newRow("nothing answered") << LLMError::nothingAnswered("No server at here.", "Start it.")
                                          << "No server at here." << "Start it." << false;
        QTest::newRow("refused") << LLMError::refused("Blocked.")
                                 << "The model declined to answer. Blocked." << noSuggestion << true;
        QTest::newRow("invalid") << LLMError::invalidResponse()
                                 << "The provider returned a response Tavelon couldn't read."
                                 << noSuggestion << false;
        QTest::newRow("timed out") << LLMError::timedOut() << "The request timed out."
                                   << "Try again, or raise the timeout in Settings → AI." << true;
        QTest::newRow("cancelled") << LLMError::cancelled() << "Cancelled." << noSuggestion << false;
    }

    void texts()
    {
        QFETCH(LLMError, error);
        QFETCH(QString, description);
        QFETCH(QString, suggestion);
        QFETCH(bool, movesOn);
        QCOMPARE(error.description(), description);
        QCOMPARE(error.recoverySuggestion().value_or(noSuggestion), suggestion);
        QCOMPARE(error.allowsFallback(), movesOn);
        QCOMPARE(QString::fromUtf8(error.what()), description);
    }

    void displayNames()
    {
        QCOMPARE(displayName(LLMProviderKind::appleOnDevice), "Apple On-Device");
        QCOMPARE(displayName(LLMProviderKind::anthropic), "Anthropic");
        QCOMPARE(displayName(LLMProviderKind::openai), "OpenAI");
        QCOMPARE(displayName(LLMProviderKind::ollama), "Ollama (local)");
    }

    void apiErrorMessage_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QString>("message");

        const QByteArray html = "<html>" + QByteArray(994, 'x');
        QTest::newRow("error object") << QByteArray(R"({"error":{"type":"auth","message":"invalid x-api-key"}})")
                                      << "invalid x-api-key";
        QTest::newRow("error text") << QByteArray(R"({"error":"model not found"})") << "model not found";
        QTest::newRow("error object without message")
            << QByteArray(R"({"error":{"code":7}})") << R"({"error":{"code":7}})";
        QTest::newRow("message not text") << QByteArray(R"({"error":{"message":5}})")
                                          << R"({"error":{"message":5}})";
        QTest::newRow("json array") << QByteArray("[1,2]") << "[1,2]";
        QTest::newRow("plain text") << QByteArray("Bad Gateway") << "Bad Gateway";
        QTest::newRow("empty") << QByteArray() << "";
        QTest::newRow("1000 characters of html")
            << html << QString::fromLatin1(html.left(300)) + QChar(0x2026);
        QTest::newRow("long json message")
            << "{\"error\":{\"message\":\"" + QByteArray(500, 'm') + "\"}}"
            << QString(300, QLatin1Char('m')) + QChar(0x2026);
        QTest::newRow("exactly 300") << QByteArray(300, 'y') << QString(300, QLatin1Char('y'));
        QTest::newRow("not utf-8") << QByteArray("\xff\xfe\xfa broken") << "";
        // Grapheme clusters, not code units: 301 flags (two code points each) cut to 300.
        QString flags;
        for (int i = 0; i < 301; ++i)
            flags += QStringLiteral("🇫🇷");
        QTest::newRow("flags") << flags.toUtf8() << flags.left(300 * 4) + QChar(0x2026);
    }

    void apiErrorMessage()
    {
        QFETCH(QByteArray, body);
        QFETCH(QString, message);
        QCOMPARE(HttpExchange::apiErrorMessage(body), message);
    }

    void nonUtf8BodyLeavesDescriptionEndingInParenthesis()
    {
        const LLMError error = LLMError::api(502, HttpExchange::apiErrorMessage("\xc3\x28"));
        QCOMPARE(error.description(), "The provider had a server error (HTTP 502). ");
    }

    void timeoutsAreClampedToAFinitePositiveRange_data()
    {
        QTest::addColumn<double>("configured");
        QTest::addColumn<double>("used");
        QTest::newRow("ordinary") << 45.0 << 45.0;
        QTest::newRow("zero") << 0.0 << 0.1;
        QTest::newRow("negative") << -5.0 << 0.1;
        QTest::newRow("infinite") << std::numeric_limits<double>::infinity() << 3600.0;
        QTest::newRow("huge") << 1e300 << 3600.0;
        QTest::newRow("not a number") << std::numeric_limits<double>::quiet_NaN() << 45.0;
    }

    void timeoutsAreClampedToAFinitePositiveRange()
    {
        QFETCH(double, configured);
        QFETCH(double, used);
        QCOMPARE(LLMRequest::clampedTimeout(configured), used);
    }
};

QTEST_GUILESS_MAIN(TestLLMError)
#include "tst_llm_error.moc"
