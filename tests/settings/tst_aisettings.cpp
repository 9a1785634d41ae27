#include "AIFixture.h"
#include "../support/Await.h"
#include "ai/ProviderDisplayName.h"
#include "settings/ai/AIPrivacyDisclosure.h"
#include "settings/ai/AISettingsModel.h"
#include "settings/ai/AISetupModel.h"
#include "settings/ai/ModelChoice.h"
#include "http/LoopbackHttpServer.h"
#include "settings/ai/ProviderPresentation.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSignalSpy>
#include <QTest>
#include <cmath>
#include <limits>

using namespace vima;
using namespace vima::test;

Q_DECLARE_METATYPE(LLMProviderKind)
Q_DECLARE_METATYPE(LLMProviderStatus)
Q_DECLARE_METATYPE(AISetupModel::Local)
Q_DECLARE_METATYPE(TextRoute)

namespace {

// The Anthropic key, and whether its server could be reached with it; fallback off; an OpenAI key too.
enum class Cloud { noKey, key, unreachable, keyNoFallback, bothKeys };

constexpr auto anthropic = LLMProviderKind::anthropic;
constexpr auto openai = LLMProviderKind::openai;
constexpr auto onDevice = LLMProviderKind::appleOnDevice;
constexpr auto ollama = LLMProviderKind::ollama;

const QString localOn = QStringLiteral("Your local AI is running. Nothing to sign up for, nothing to pay.");
const QString usingYours = QStringLiteral("Tavelon is using the AI service you set up below.");

void storeKey(AIFixture &ai, LLMProviderKind kind, const QString &key)
{
    await(ai.keychain.setAPIKey(key, kind));
    ai.secrets.updates = ai.secrets.adds = 0;
}

// Where nothing listens.
QUrl closedAddress()
{
    return QUrl(QStringLiteral("http://127.0.0.1:%1").arg(LoopbackHttpServer::closedPort()));
}

// The AI tab's services with the real providers, a local server on loopback
// and the cloud ones where nothing listens.
struct LocalServerFixture : AIFixture {
    LoopbackHttpServer server;
    LLMService real{[this](LLMProviderKind kind) { return keychain.apiKey(kind); },
                    LLMService::standardProviders({closedAddress(), closedAddress()}, reachability, scheduler),
                    reachability};

    // The server's address, or one where nothing listens.
    QString address(bool listening) const
    {
        return listening ? server.url(QString()).toString() : closedAddress().toString();
    }
};

} // namespace

Q_DECLARE_METATYPE(Cloud)

class TestAISettings : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // The simple view against a real server on loopback: what the probe
    // found, and whether anything can answer; the advanced view's Ollama row
    // says the same.
    void setupFollowsTheLocalServer_data()
    {
        QTest::addColumn<QByteArray>("tags"); // empty: nothing listens
        QTest::addColumn<LLMProviderKind>("provider");
        QTest::addColumn<QString>("model");
        QTest::addColumn<Cloud>("anthropicKey");
        QTest::addColumn<AISetupModel::Local>("local");
        QTest::addColumn<bool>("ready");
        QTest::addColumn<QString>("detail"); // "reason": the local reason; "chosen": the chosen one's status
        QTest::addColumn<TextRoute>("elsewhere"); // where text goes besides the chosen provider

        using Local = AISetupModel::Local;
        using enum Cloud;
        const QByteArray none;
        const QByteArray qwen = R"({"models":[{"name":"qwen2.5:7b"}]})";
        const QByteArray llama = R"({"models":[{"name":"qwen2.5:7b"},{"name":"llama3.2:latest"}]})";
        const TextRoute nowhere;
        const TextRoute toAnthropic{.instead = {}, .strongModel = {anthropic}};
        QTest::newRow("no server") << none << ollama << "llama3.2" << noKey << Local::noServer << false << "reason"
                                   << nowhere;
        QTest::newRow("not pulled") << qwen << ollama << "llama3.2" << noKey << Local::notPulled << false
                                    << "reason" << nowhere;
        QTest::newRow("pulled as latest") << llama << ollama << "llama3.2" << noKey << Local::ready << true
                                          << localOn << nowhere;
        QTest::newRow("a tagged model") << qwen << ollama << " qwen2.5:7b " << noKey << Local::ready << true
                                        << localOn << nowhere;
        QTest::newRow("unreadable list") << QByteArray("ok") << ollama << "llama3.2" << noKey << Local::ready
                                         << true << localOn << nowhere;
        QTest::newRow("cloud with a key") << none << anthropic << "claude-sonnet-5" << key << Local::noServer
                                          << true << usingYours << nowhere;
        // Still tried, but it can't be promised.
        QTest::newRow("cloud not reached") << none << anthropic << "claude-sonnet-5" << unreachable
                                           << Local::noServer << false << "chosen" << nowhere;
        QTest::newRow("cloud without a key") << none << anthropic << "claude-sonnet-5" << noKey
                                             << Local::noServer << false << "No API key saved." << nowhere;
        // Another provider's model name is not what the local server is asked for.
        QTest::newRow("fallback to a server without its model")
            << qwen << anthropic << "claude-sonnet-5" << noKey << Local::notPulled << false << "No API key saved."
            << nowhere;
        QTest::newRow("fallback to a server with it")
            << llama << anthropic << "claude-sonnet-5" << noKey << Local::ready << true << localOn
            << TextRoute{.instead = {ollama}, .strongModel = {}};
        // A keyless cloud choice hands text to another cloud key.
        QTest::newRow("keyless cloud, another cloud key")
            << none << openai << "gpt-4o" << key << Local::noServer << true << usingYours
            << TextRoute{.instead = {anthropic}, .strongModel = {anthropic}};
        QTest::newRow("keyless cloud, another cloud key, no fallback")
            << none << openai << "gpt-4o" << keyNoFallback << Local::noServer << false << "No API key saved."
            << toAnthropic;
        QTest::newRow("cloud, another cloud key first for strong models")
            << none << openai << "gpt-4o" << bothKeys << Local::noServer << true << usingYours << toAnthropic;
        // A local choice still sends these to the cloud; a key whose server
        // could not be reached is still tried.
        QTest::newRow("local with a cloud key") << llama << ollama << "llama3.2" << key << Local::ready << true
                                                << localOn << toAnthropic;
        QTest::newRow("local with a cloud key not reached") << none << ollama << "llama3.2" << unreachable
                                                            << Local::noServer << false << "reason" << toAnthropic;
        QTest::newRow("on-device stored with a cloud key")
            << none << onDevice << "on-device" << key << Local::noServer << false << "chosen" << toAnthropic;
        QTest::newRow("on-device stored") << none << onDevice << "on-device" << noKey << Local::noServer << false
                                          << "chosen" << nowhere;
    }

    void setupFollowsTheLocalServer()
    {
        QFETCH(QByteArray, tags);
        QFETCH(LLMProviderKind, provider);
        QFETCH(QString, model);
        QFETCH(Cloud, anthropicKey);
        QFETCH(AISetupModel::Local, local);
        QFETCH(bool, ready);
        QFETCH(QString, detail);
        QFETCH(TextRoute, elsewhere);

        LocalServerFixture ai;
        if (!tags.isEmpty())
            ai.server.setRoute("/api/tags", HttpRoute::reply(200, tags));
        if (anthropicKey != Cloud::noKey)
            storeKey(ai, anthropic, QStringLiteral("sk-ant"));
        if (anthropicKey == Cloud::bothKeys)
            storeKey(ai, openai, QStringLiteral("sk-oa"));
        if (anthropicKey == Cloud::unreachable)
            QVERIFY_THROWS_EXCEPTION(LLMError, await(ai.real.test(anthropic, QStringLiteral("sk-ant"),
                                                                   QStringLiteral("claude-sonnet-5"))));
        ai.setAI([&](AISettings &settings) {
            settings.provider = provider;
            settings.model = model;
            settings.autoFallback = anthropicKey != Cloud::keyNoFallback;
            settings.ollamaBaseURL = ai.address(!tags.isEmpty());
        });
        AISetupModel setup(ai.store, ai.real, ai.permissions);
        QCOMPARE(setup.local(), AISetupModel::Local::unknown);
        QVERIFY(!setup.isChecking());
        setup.shown();
        QVERIFY(setup.isChecking());
        QTRY_VERIFY(!setup.isChecking());

        QCOMPARE(setup.local(), local);
        QCOMPARE(setup.isReady(), ready);
        if (detail == QLatin1String("reason"))
            detail = setup.localReason();
        else if (detail == QLatin1String("chosen"))
            detail = ai.real.statusText(provider, ai.store.config().ai).text;
        QCOMPARE(setup.detail(), detail);
        const bool blocked = local == AISetupModel::Local::noServer || local == AISetupModel::Local::notPulled;
        QCOMPARE(setup.localReason().isEmpty(), !blocked);
        QCOMPARE(setup.localSteps().isEmpty(), !blocked);
        if (blocked)
            QVERIFY(setup.localSteps().join(QLatin1Char('\n')).contains(QStringLiteral("ollama pull ") + setup.localModel()));

        AISettingsModel advanced(ai.store, ai.real, ai.keychain, ai.permissions, ai.defaults);
        const LLMProviderStatus row = advanced.providerStatus(ollama);
        QCOMPARE(row.isReady(), local == AISetupModel::Local::ready);
        if (local == AISetupModel::Local::notPulled) {
            QVERIFY2(row.text.startsWith(setup.localReason()), qPrintable(row.text));
            QVERIFY2(row.text.endsWith(QStringLiteral("ollama pull ") + setup.localModel()), qPrintable(row.text));
        }
        // The models the server listed lead the model menu.
        const QJsonArray served = QJsonDocument::fromJson(tags).object().value(QLatin1String("models")).toArray();
        if (provider == ollama && !served.isEmpty()) {
            const QList<ModelChoice> menu = advanced.modelChoices();
            for (qsizetype i = 0; i < served.size(); ++i)
                QCOMPARE(menu.value(i).name, served.at(i).toObject().value(QLatin1String("name")).toString());
        }
        QCOMPARE(advanced.serverHint(),
                 QStringLiteral("Start Ollama, then pull a model: ollama pull ") + setup.localModel());

        // "Never leaves" is said only while true: on the card and in the
        // disclosure; where the text goes instead is named there and under
        // the chosen row.
        const TextRoute route = setup.route();
        QCOMPARE(route, (TextRoute{provider, elsewhere.instead, elsewhere.strongModel}));
        QCOMPARE(advanced.route(), route);
        const bool staysLocal = !LLMService::isCloud(provider) && elsewhere.strongModel.isEmpty();
        const QString never = QStringLiteral("never leaves");
        const QString disclosed = AIPrivacyDisclosure::rows(route).at(1).detail;
        QCOMPARE(setup.localPromise().contains(never), staysLocal);
        QCOMPARE(disclosed.contains(never), staysLocal);
        QCOMPARE(route.notice().isEmpty(), elsewhere.instead.isEmpty() && elsewhere.strongModel.isEmpty());
        QVERIFY(disclosed.contains(route.notice()));
        for (const LLMProviderKind kind : elsewhere.instead + elsewhere.strongModel)
            QVERIFY(route.notice().contains(displayName(kind)));
        const bool there = LLMService::isCloud(provider) && elsewhere.instead.isEmpty();
        QCOMPARE((setup.localPromise() + disclosed).count(QStringLiteral("goes there")), there ? 2 : 0);
        if (LLMService::isCloud(provider)) {
            QVERIFY((setup.localPromise() + route.notice()).contains(displayName(provider)));
            QVERIFY(disclosed.contains(displayName(provider)));
        }
    }

    // The local card names the address without its user name and password,
    // and says plainly when it is not one Tavelon asks; the advanced row too.
    void theLocalCardShowsTheAddress_data()
    {
        QTest::addColumn<QString>("typed"); // %1: where nothing listens
        QTest::addColumn<bool>("checked");
        QTest::addColumn<AISetupModel::Local>("local");
        QTest::addColumn<QString>("reason");
        using Local = AISetupModel::Local;
        const QString notHttp = QStringLiteral("Ollama's address must start with http:// or https://, not “%1”.");
        QTest::newRow("password, before a check") << "http://admin:hunter2@%1" << false << Local::unknown
                                                  << "Looking for Ollama at http://%1…";
        QTest::newRow("password, no server") << "http://admin:hunter2@%1" << true << Local::noServer
                                             << "No Ollama server answers at http://%1.";
        QTest::newRow("ftp") << "ftp://admin:hunter2@%1" << true << Local::notHttp << notHttp.arg("ftp://%1");
        QTest::newRow("unix socket") << "unix:/run/ollama.sock" << true << Local::notHttp
                                     << notHttp.arg("unix://run/ollama.sock");
        // What libcurl, which fetches, takes for user info is never shown.
        QTest::newRow("password, one slash") << "http:/admin:hunter2@%1" << true << Local::noServer
                                             << "No Ollama server answers at http://%1.";
        QTest::newRow("password, no scheme") << "admin:hunter2@%1" << true << Local::noServer
                                             << "No Ollama server answers at http://%1.";
        // An address libcurl can't read is refused as written, never swapped for the default.
        const QString unreadable = QStringLiteral("Tavelon can't read the Ollama address “%1”.");
        QTest::newRow("password, two slashes") << "//admin:hunter2@%1" << true << Local::unreadable
                                               << unreadable.arg("%1");
        QTest::newRow("a port past 65535") << "http://127.0.0.1:99999" << true << Local::unreadable
                                           << unreadable.arg("http://127.0.0.1:99999");
        QTest::newRow("a blank before the port") << "http://127.0.0.1 :8080" << true << Local::unreadable
                                                 << unreadable.arg("http://127.0.0.1 :8080");
        QTest::newRow("a password holding #") << "http://admin:hun#ter2@%1" << true << Local::unreadable
                                              << unreadable.arg("http://%1");
    }

    void theLocalCardShowsTheAddress()
    {
        QFETCH(QString, typed);
        QFETCH(bool, checked);
        QFETCH(AISetupModel::Local, local);
        QFETCH(QString, reason);
        LocalServerFixture ai;
        const QString closed = closedAddress().authority();
        ai.setAI([&](AISettings &settings) {
            settings.provider = ollama;
            settings.ollamaBaseURL = QString(typed).replace("%1", closed);
        });
        AISetupModel setup(ai.store, ai.real, ai.permissions);
        if (checked) {
            setup.shown();
            QTRY_VERIFY(!setup.isChecking());
        }
        QCOMPARE(setup.local(), local);
        QCOMPARE(setup.localReason(), reason.replace("%1", closed));
        QCOMPARE(setup.isLocalBlocked(), checked);
        QCOMPARE(setup.localSteps().join(' ').contains("https://"), local == AISetupModel::Local::notHttp);
        QCOMPARE(setup.localSteps().join(' ').contains("%40"), local == AISetupModel::Local::unreadable);
        AISettingsModel advanced(ai.store, ai.real, ai.keychain, ai.permissions, ai.defaults);
        const QString row = advanced.providerStatus(ollama).text;
        QVERIFY2(!row.contains("hunter2") && !row.contains("ter2"), qPrintable(row));
        if (local == AISetupModel::Local::unreadable)
            QCOMPARE(row, reason + QLatin1Char(' ') + setup.localSteps().join(' '));
        // Nothing went anywhere in place of an address that can't be read.
        QCOMPARE(ai.reachability.readiness(OllamaReachability::defaultURL(), setup.localModel()),
                 AISetupModel::Local::unknown);
    }

    // Check Again asks at once and says so while it waits; a result gone
    // stale is asked again without a click.
    void checkAgainProbesAtOnce()
    {
        LocalServerFixture ai;
        ai.server.setRoute("/api/tags", HttpRoute::reply(200, R"({"models":[]})"));
        ai.setAI([&](AISettings &settings) {
            settings.provider = ollama;
            settings.model.clear(); // the provider's default
            settings.ollamaBaseURL = ai.address(true);
        });
        AISetupModel setup(ai.store, ai.real, ai.permissions);
        setup.shown();
        QTRY_VERIFY(!setup.isChecking());
        QCOMPARE(setup.local(), AISetupModel::Local::notPulled);
        QCOMPARE(setup.localModel(), QStringLiteral("llama3.2"));

        HttpRoute slow = HttpRoute::reply(200, R"({"models":[{"name":"llama3.2"}]})");
        slow.delayMs = 100;
        ai.server.setRoute("/api/tags", slow);
        QSignalSpy changes(&setup, &AISetupModel::changed);
        setup.checkAgain();
        setup.checkAgain();
        QVERIFY(setup.isChecking());
        QCOMPARE(changes.size(), 1);
        QTRY_VERIFY(!setup.isChecking());
        QCOMPARE(setup.local(), AISetupModel::Local::ready);
        QVERIFY(setup.isReady());
        QCOMPARE(ai.server.requests("/api/tags").size(), 2);

        ai.scheduler.advance(OllamaReachability::staleAfter);
        ai.setAI([](AISettings &settings) { settings.maxTokens = 100; });
        QVERIFY(setup.isChecking());
        QTRY_VERIFY(!setup.isChecking());
        QCOMPARE(ai.server.requests("/api/tags").size(), 3);
    }

    void setupFollowsTrust()
    {
        LocalServerFixture ai;
        ai.setAI([&](AISettings &settings) { settings.ollamaBaseURL = ai.address(false); });
        AISetupModel setup(ai.store, ai.real, ai.permissions);
        setup.shown();
        QTRY_VERIFY(!setup.isChecking());
        QSignalSpy changes(&setup, &AISetupModel::changed);
        QVERIFY(setup.showsAccessibilityWarning());
        ai.permission.trusted = true;
        ai.scheduler.advance(PermissionsService::pollInterval);
        QVERIFY(!setup.showsAccessibilityWarning());
        QCOMPARE(changes.size(), 1);
    }

    void modelMenu_data()
    {
        QTest::addColumn<bool>("answered");
        QTest::addColumn<QStringList>("served");
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QStringList>("labels");

        const auto list = [](const char *names) { return QString::fromUtf8(names).split(QLatin1Char(',')); };
        QTest::newRow("no answer") << false << QStringList() << "mistral" << list("llama3.2,qwen2.5,mistral");
        QTest::newRow("served first, no duplicates")
            << true << list("qwen2.5:7b,llama3.2:latest") << "llama3.2"
            << list("qwen2.5:7b,llama3.2:latest,qwen2.5,mistral");
        QTest::newRow("chosen not pulled") << true << list("qwen2.5:7b") << "mistral"
                                           << list("qwen2.5:7b,llama3.2,qwen2.5,mistral (not pulled)");
        QTest::newRow("empty server") << true << QStringList() << "llama3.2"
                                      << list("llama3.2 (not pulled),qwen2.5,mistral");
        QTest::newRow("tag and case") << true << list("Mistral:latest") << "mistral"
                                      << list("Mistral:latest,llama3.2,qwen2.5");
        QTest::newRow("a custom model missing") << true << list("phi4") << " mine "
                                                << list("phi4,llama3.2,qwen2.5,mistral,mine (not pulled)");
        // A long list is cut, but never before the chosen model.
        QStringList many;
        for (qsizetype i = 0; i < 2 * ModelChoice::longestMenu; ++i)
            many << QStringLiteral("model-%1").arg(i);
        const QStringList shown = many.first(ModelChoice::longestMenu);
        QTest::newRow("a long list, chosen past the cut")
            << true << many << many.constLast() << shown + QStringList{many.constLast()};
        QTest::newRow("a long list, chosen missing") << true << many << "mine"
                                                     << shown + QStringList{QStringLiteral("mine (not pulled)")};
    }

    void modelMenu()
    {
        QFETCH(bool, answered);
        QFETCH(QStringList, served);
        QFETCH(QString, chosen);
        QFETCH(QStringList, labels);
        const QList<ModelChoice> menu =
            ModelChoice::menu(answered ? std::optional(served) : std::nullopt,
                              {QStringLiteral("llama3.2"), QStringLiteral("qwen2.5"), QStringLiteral("mistral")},
                              chosen);
        QStringList shown;
        for (const ModelChoice &choice : menu) {
            shown << choice.label;
            QVERIFY(choice.label == choice.name || choice.label == choice.name + QStringLiteral(" (not pulled)"));
        }
        QCOMPARE(shown, labels);
    }

    void mode_data()
    {
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<AISettingsModel::Mode>("mode");
        QTest::newRow("none") << QVariant() << AISettingsModel::Mode::simple;
        QTest::newRow("simple") << QVariant(QStringLiteral("simple")) << AISettingsModel::Mode::simple;
        QTest::newRow("advanced") << QVariant(QStringLiteral("advanced")) << AISettingsModel::Mode::advanced;
        QTest::newRow("other text") << QVariant(QStringLiteral("x")) << AISettingsModel::Mode::simple;
        QTest::newRow("capitalised") << QVariant(QStringLiteral("Advanced")) << AISettingsModel::Mode::simple;
    }

    void mode()
    {
        QFETCH(QVariant, stored);
        QFETCH(AISettingsModel::Mode, mode);
        AIFixture ai;
        if (stored.isValid())
            ai.defaults.setValue(AISettingsModel::modeKey, stored);
        AISettingsModel model(ai.store, ai.llm, ai.keychain, ai.permissions, ai.defaults);
        QCOMPARE(model.mode(), mode);

        model.setMode(AISettingsModel::Mode::advanced);
        QSettings reread(ai.defaults.fileName(), QSettings::IniFormat);
        QCOMPARE(reread.value(AISettingsModel::modeKey).toString(), QStringLiteral("advanced"));
    }

    void selectProvider_data()
    {
        QTest::addColumn<LLMProviderKind>("from");
        QTest::addColumn<LLMProviderKind>("clicked");
        QTest::addColumn<QString>("model");
        QTest::addColumn<QString>("sections"); // API key, local server, model

        QTest::newRow("same keeps a custom model") << anthropic << anthropic << "my-model" << "key model";
        QTest::newRow("another replaces it") << anthropic << openai << "gpt-4o" << "key model";
        QTest::newRow("ollama") << onDevice << ollama << "llama3.2" << "server model";
        QTest::newRow("on-device") << ollama << onDevice << "on-device" << "";
        QTest::newRow("anthropic") << onDevice << anthropic << "claude-sonnet-5" << "key model";
    }

    void selectProvider()
    {
        QFETCH(LLMProviderKind, from);
        QFETCH(LLMProviderKind, clicked);
        QFETCH(QString, model);
        QFETCH(QString, sections);
        AIFixture ai;
        ai.setAI([&](AISettings &settings) {
            settings.provider = from;
            settings.model = QStringLiteral("my-model");
        });
        AISettingsModel tab(ai.store, ai.llm, ai.keychain, ai.permissions, ai.defaults);
        tab.selectProvider(clicked);
        QCOMPARE(ai.store.config().ai.provider, clicked);
        QCOMPARE(ai.store.config().ai.model, model);
        QStringList shown;
        if (tab.showsAPIKey())
            shown << QStringLiteral("key");
        if (tab.showsLocalServer())
            shown << QStringLiteral("server");
        if (tab.showsModel())
            shown << QStringLiteral("model");
        QCOMPARE(shown.join(QLatin1Char(' ')), sections);
        QCOMPARE(tab.listsProvider(onDevice), clicked == onDevice);
    }

    void presentationCoversEveryProvider()
    {
        for (const LLMProviderKind kind : allProviderKinds()) {
            QCOMPARE(ProviderPresentation::of(kind).kind, kind);
            const QStringList suggested = ProviderPresentation::of(kind).suggestedModels;
            QVERIFY(suggested.isEmpty() || suggested.contains(defaultModel(kind)));
        }
    }

    void keyOperations_data()
    {
        QTest::addColumn<QString>("stored"); // empty: no key in the keyring
        QTest::addColumn<QString>("draft");
        QTest::addColumn<QString>("operation");
        QTest::addColumn<bool>("keyringFails");
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<QString>("status"); // "ok: …" or "error: …"; empty: none
        QTest::addColumn<QString>("storedAfter");
        QTest::addColumn<QString>("tested"); // the key the provider was asked with

        QTest::newRow("save spaces") << "sk-old" << "   " << "save" << false << false << "" << "sk-old" << "";
        QTest::newRow("save a line break") << "sk-old" << "\n" << "save" << false << false << "" << "sk-old" << "";
        QTest::newRow("save trims") << "" << " sk-new \n" << "save" << false << true
                                    << "ok: Saved to the keyring." << "sk-new" << "";
        QTest::newRow("save replaces") << "sk-old" << "sk-new" << "save" << false << true
                                       << "ok: Saved to the keyring." << "sk-new" << "";
        QTest::newRow("save fails") << "" << "sk-new" << "save" << true << true << "error: Keyring error: locked"
                                    << "" << "";
        QTest::newRow("test the stored key") << "sk-old" << "" << "test" << false << true << "ok: Key works."
                                             << "sk-old" << "sk-old";
        QTest::newRow("test spaces, stored key") << "sk-old" << "  " << "test" << false << true
                                                 << "ok: Key works." << "sk-old" << "sk-old";
        QTest::newRow("test spaces, no key") << "" << "  " << "test" << false << true
                                             << "error: No key to test." << "" << "";
        QTest::newRow("test nothing") << "" << "" << "test" << false << false << "" << "" << "";
        QTest::newRow("test a typed key") << "sk-old" << " sk-typed " << "test" << false << true
                                          << "ok: Key works." << "sk-old" << "sk-typed";
        QTest::newRow("remove") << "sk-old" << "" << "remove" << false << true << "ok: Removed." << "" << "";
        QTest::newRow("remove fails") << "sk-old" << "" << "remove" << true << true
                                      << "error: Keyring error: locked" << "sk-old" << "";
    }

    void keyOperations()
    {
        QFETCH(QString, stored);
        QFETCH(QString, draft);
        QFETCH(QString, operation);
        QFETCH(bool, keyringFails);
        QFETCH(bool, enabled);
        QFETCH(QString, status);
        QFETCH(QString, storedAfter);
        QFETCH(QString, tested);

        AIFixture ai;
        ai.setAI([](AISettings &settings) { settings.provider = anthropic; });
        if (!stored.isEmpty())
            storeKey(ai, anthropic, stored);
        AISettingsModel tab(ai.store, ai.llm, ai.keychain, ai.permissions, ai.defaults);
        tab.setKeyDraft(draft);
        if (keyringFails)
            ai.secrets.failure = KeychainError(7, QStringLiteral("locked"));
        const auto before = ai.secrets.items;

        if (operation == QLatin1String("save")) {
            QCOMPARE(tab.canSave(), enabled);
            await(tab.saveKey());
        } else if (operation == QLatin1String("test")) {
            QCOMPARE(tab.canTest(), enabled);
            await(tab.testKey());
        } else {
            QCOMPARE(tab.canRemove(), enabled);
            await(tab.removeKey());
        }

        const auto &result = tab.status();
        QCOMPARE(result ? (result->ok ? QStringLiteral("ok: ") : QStringLiteral("error: ")) + result->text
                        : QString(),
                 status);
        ai.secrets.failure.reset();
        QCOMPARE(ai.keychain.apiKey(anthropic).value_or(QString()), storedAfter);
        QCOMPARE(QString::fromUtf8(ai.secrets.items.value(Keychain::account(anthropic))), storedAfter);
        QCOMPARE(tab.hasStoredKey(), !storedAfter.isEmpty());
        QCOMPARE(ai.script.testedKeys.isEmpty() ? QString() : ai.script.testedKeys.constFirst().value_or(QString()),
                 tested);
        if (operation == QLatin1String("test"))
            QCOMPARE(ai.secrets.items, before);
        const bool succeeded = result && result->ok;
        QCOMPARE(tab.keyDraft(), succeeded && operation != QLatin1String("test") ? QString() : draft);
        QVERIFY(!tab.isTesting());
    }

    // A key that takes strong-model actions off this computer is removed
    // from where the local choice is made, through the tab's own removal.
    void removingARoutedKey_data()
    {
        QTest::addColumn<QList<LLMProviderKind>>("saved");
        QTest::addColumn<bool>("keyringFails");
        QTest::addColumn<QString>("status");
        QTest::addColumn<QList<LLMProviderKind>>("after");

        const QList<LLMProviderKind> both{anthropic, openai};
        QTest::newRow("the only key") << QList{anthropic} << false << "ok: Removed." << QList<LLMProviderKind>();
        QTest::newRow("one of two") << both << false << "ok: Removed." << QList{openai};
        QTest::newRow("keyring fails") << QList{anthropic} << true << "error: Keyring error: locked"
                                       << QList{anthropic};
    }

    void removingARoutedKey()
    {
        QFETCH(QList<LLMProviderKind>, saved);
        QFETCH(bool, keyringFails);
        QFETCH(QString, status);
        QFETCH(QList<LLMProviderKind>, after);

        AIFixture ai;
        ai.setAI([](AISettings &settings) { settings.provider = ollama; });
        for (const LLMProviderKind kind : saved)
            storeKey(ai, kind, QStringLiteral("sk-") + rawValue(kind));
        AISettingsModel tab(ai.store, ai.llm, ai.keychain, ai.permissions, ai.defaults);
        QCOMPARE(tab.route().strongModel, saved);
        QVERIFY(tab.canRemove(anthropic));
        if (keyringFails)
            ai.secrets.failure = KeychainError(7, QStringLiteral("locked"));
        await(tab.removeKey(anthropic));

        const auto &result = tab.status();
        QVERIFY(result);
        QCOMPARE((result->ok ? QStringLiteral("ok: ") : QStringLiteral("error: ")) + result->text, status);
        ai.secrets.failure.reset();
        QCOMPARE(tab.route().strongModel, after);
        QCOMPARE(ai.keychain.apiKey(anthropic).has_value(), after.contains(anthropic));
        QCOMPARE(ai.secrets.items.contains(Keychain::account(anthropic)), after.contains(anthropic));
        QCOMPARE(ai.store.config().ai.provider, ollama);
    }

    // Keys are read when AI is first used: a page built before that shows the
    // key once it arrives, and keeps what the user was typing.
    void aKeyReadAfterThePageWasBuiltShowsAsSaved()
    {
        AIFixture ai;
        ai.setAI([](AISettings &settings) { settings.provider = LLMProviderKind::anthropic; });
        ai.secrets.items.insert(Keychain::account(LLMProviderKind::anthropic), "sk-stored");
        AISettingsModel tab(ai.store, ai.llm, ai.keychain, ai.permissions, ai.defaults);
        QVERIFY(!tab.hasStoredKey());
        tab.setKeyDraft(QStringLiteral("sk-typ"));
        await(ai.keychain.ensureLoaded());
        await(ai.llm.refresh(ai.store.config().ai));
        QVERIFY(tab.hasStoredKey());
        QCOMPARE(tab.keyDraft(), QStringLiteral("sk-typ"));
    }

    void aFailedTestShowsTheProvidersText()
    {
        AIFixture ai;
        ai.setAI([](AISettings &settings) { settings.provider = openai; });
        ai.script.failure = LLMError::api(401, QStringLiteral("Incorrect API key <b>provided</b>"));
        AISettingsModel tab(ai.store, ai.llm, ai.keychain, ai.permissions, ai.defaults);
        tab.setKeyDraft(QStringLiteral("sk-bad"));
        await(tab.testKey());
        QVERIFY(tab.status());
        QVERIFY(!tab.status()->ok);
        QCOMPARE(tab.status()->text, ai.script.failure->description());
    }

    void aResultLandsOnlyForItsProvider()
    {
        AIFixture ai;
        ai.setAI([](AISettings &settings) { settings.provider = anthropic; });
        ai.script.hold = true;
        AISettingsModel tab(ai.store, ai.llm, ai.keychain, ai.permissions, ai.defaults);
        tab.setKeyDraft(QStringLiteral("sk-typed"));
        auto test = tab.testKey();
        QVERIFY(tab.isTesting());
        QVERIFY(!tab.canTest());
        QVERIFY(!tab.canSave());

        tab.selectProvider(openai);
        Q_EMIT ai.script.gate.opened();
        await(std::move(test));
        QVERIFY(!tab.status());
        QVERIFY(!tab.isTesting());

        // Away and back again is still a switch.
        auto again = [&] {
            tab.setKeyDraft(QStringLiteral("sk-typed"));
            return tab.testKey();
        }();
        tab.selectProvider(anthropic);
        tab.selectProvider(openai);
        Q_EMIT ai.script.gate.opened();
        await(std::move(again));
        QVERIFY(!tab.status());
    }

    void aResultAfterThePageIsGoneIsDropped()
    {
        AIFixture ai;
        ai.setAI([](AISettings &settings) { settings.provider = anthropic; });
        ai.script.hold = true;
        auto tab = std::make_unique<AISettingsModel>(ai.store, ai.llm, ai.keychain, ai.permissions, ai.defaults);
        tab->setKeyDraft(QStringLiteral("sk-typed"));
        auto test = tab->testKey();
        tab.reset();
        Q_EMIT ai.script.gate.opened();
        await(std::move(test));
        QCOMPARE(ai.script.testedKeys.size(), 1);
    }

    void timeoutLabel_data()
    {
        QTest::addColumn<double>("seconds");
        QTest::addColumn<QString>("label");
        QTest::newRow("whole") << 60.0 << "60s";
        QTest::newRow("cut, not rounded") << 45.9 << "45s";
        QTest::newRow("above the slider") << 300.0 << "300s";
        QTest::newRow("negative") << -5.5 << "-5s";
        QTest::newRow("largest that fits") << 9223372036854774784.0 << "9223372036854774784s";
        QTest::newRow("too large") << 9223372036854775808.0 << "—";
        QTest::newRow("infinite") << std::numeric_limits<double>::infinity() << "—";
        QTest::newRow("not a number") << std::nan("") << "—";
    }

    void timeoutLabel()
    {
        QFETCH(double, seconds);
        QFETCH(QString, label);
        QCOMPARE(AISettingsModel::timeoutLabel(seconds), label);
    }

    void maxTokens_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<qint64>("stored");
        QTest::newRow("plain") << "en_US" << "4096" << qint64(4096);
        QTest::newRow("grouped") << "en_US" << "8,192" << qint64(8192);
        QTest::newRow("german grouping") << "de_DE" << "8.192" << qint64(8192);
        QTest::newRow("no bounds") << "en_US" << "-1" << qint64(-1);
        QTest::newRow("not a number") << "en_US" << "lots" << qint64(2048);
        QTest::newRow("fraction") << "en_US" << "10.5" << qint64(2048);
        QTest::newRow("empty") << "en_US" << "" << qint64(2048);
    }

    void maxTokens()
    {
        QFETCH(QString, locale);
        QFETCH(QString, typed);
        QFETCH(qint64, stored);
        QLocale::setDefault(QLocale(locale));
        AIFixture ai;
        AISettingsModel tab(ai.store, ai.llm, ai.keychain, ai.permissions, ai.defaults);
        QCOMPARE(tab.commitMaxTokens(typed), stored != 2048);
        QCOMPARE(ai.store.config().ai.maxTokens, stored);
        QLocale::setDefault(QLocale::c());
    }

    void statusesRefreshOnShowAndOncePerAddressChange()
    {
        AIFixture ai;
        const QString address = QStringLiteral("http://127.0.0.1:9/");
        ai.setAI([&](AISettings &settings) { settings.ollamaBaseURL = address; });
        AISettingsModel tab(ai.store, ai.llm, ai.keychain, ai.permissions, ai.defaults);
        QSignalSpy refreshes(&ai.llm, &LLMService::statusRevisionChanged);
        QTest::qWait(50);
        QCOMPARE(refreshes.size(), 0); // the first value is no change

        tab.shown();
        QTRY_COMPARE(refreshes.size(), 1);
        for (const QString &typed : {QStringLiteral("a"), QStringLiteral("ab"), QStringLiteral("abc")})
            ai.setAI([&](AISettings &settings) { settings.ollamaBaseURL = address + typed; });
        ai.setAI([](AISettings &settings) { settings.model = QStringLiteral("other"); });
        QTRY_COMPARE(refreshes.size(), 4);
        QTest::qWait(50);
        QCOMPARE(refreshes.size(), 4);
    }
};

QTEST_GUILESS_MAIN(TestAISettings)
#include "tst_aisettings.moc"
