#include "AIFixture.h"
#include "../support/Await.h"
#include "settings/ai/AISettingsModel.h"
#include "settings/ai/AISetupModel.h"
#include "settings/ai/ProviderPresentation.h"

#include <QSignalSpy>
#include <QTest>
#include <cmath>
#include <limits>

using namespace vima;
using namespace vima::test;

Q_DECLARE_METATYPE(LLMProviderKind)
Q_DECLARE_METATYPE(LLMProviderStatus)

namespace {

constexpr auto anthropic = LLMProviderKind::anthropic;
constexpr auto openai = LLMProviderKind::openai;
constexpr auto onDevice = LLMProviderKind::appleOnDevice;
constexpr auto ollama = LLMProviderKind::ollama;

const QString onDeviceOn = QStringLiteral("Your Mac's built-in AI is on. Nothing to sign up for, nothing to pay.");
const QString usingYours = QStringLiteral("Tavelon is using the AI service you set up below.");

void storeKey(AIFixture &ai, LLMProviderKind kind, const QString &key)
{
    await(ai.keychain.setAPIKey(key, kind));
    ai.secrets.updates = ai.secrets.adds = 0;
}

} // namespace

class TestAISettings : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void setupStatus_data()
    {
        QTest::addColumn<LLMProviderStatus>("onDeviceStatus");
        QTest::addColumn<LLMProviderKind>("provider");
        QTest::addColumn<bool>("autoFallback");
        QTest::addColumn<bool>("anthropicKey");
        QTest::addColumn<bool>("ready");
        QTest::addColumn<QString>("detail");

        const auto unsupported = LLMProviderStatus::unsupported(QStringLiteral("Needs macOS 26 or later."));
        QTest::newRow("on-device chosen") << LLMProviderStatus::ready() << onDevice << false << false << true
                                          << onDeviceOn;
        QTest::newRow("on-device by fallback") << LLMProviderStatus::ready() << anthropic << true << false << true
                                               << onDeviceOn;
        QTest::newRow("cloud key, on-device unsupported")
            << unsupported << anthropic << false << true << true << usingYours;
        QTest::newRow("nothing ready") << unsupported << anthropic << true << false << false << unsupported.text;
        // The headline looks at the candidates, the detail at the on-device model first.
        QTest::newRow("fallback off, chosen not ready")
            << LLMProviderStatus::ready() << openai << false << true << false << onDeviceOn;
        QTest::newRow("on-device wants a key") << LLMProviderStatus::needsKey() << onDevice << true << false
                                               << false << QStringLiteral("No API key saved.");
    }

    void setupStatus()
    {
        QFETCH(LLMProviderStatus, onDeviceStatus);
        QFETCH(LLMProviderKind, provider);
        QFETCH(bool, autoFallback);
        QFETCH(bool, anthropicKey);
        QFETCH(bool, ready);
        QFETCH(QString, detail);

        AIFixture ai;
        ai.script.keylessStatus[onDevice] = onDeviceStatus;
        if (anthropicKey)
            storeKey(ai, anthropic, QStringLiteral("sk-ant"));
        AISetupModel setup(ai.store, ai.llm, ai.permissions);
        ai.setAI([&](AISettings &settings) {
            settings.provider = provider;
            settings.autoFallback = autoFallback;
        });
        QCOMPARE(setup.isReady(), ready);
        QCOMPARE(setup.detail(), detail);
        QCOMPARE(setup.onDeviceStatus(), onDeviceStatus);
    }

    void setupFollowsTrustAndStatusRevision()
    {
        AIFixture ai;
        ai.script.keylessStatus[onDevice] = LLMProviderStatus::unsupported(QStringLiteral("No."));
        AISetupModel setup(ai.store, ai.llm, ai.permissions);
        QSignalSpy changes(&setup, &AISetupModel::changed);
        QVERIFY(setup.showsAccessibilityWarning());

        ai.permission.trusted = true;
        ai.scheduler.advance(PermissionsService::pollInterval);
        QVERIFY(!setup.showsAccessibilityWarning());
        QCOMPARE(changes.size(), 1);

        // A server that comes up shows after the next probe, not before.
        ai.script.keylessStatus[ollama] = LLMProviderStatus::ready();
        QVERIFY(!setup.isReady());
        await(ai.llm.refresh(ai.store.config().ai));
        QVERIFY(setup.isReady());
        QCOMPARE(changes.size(), 2);
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
                                    << "ok: Saved to Keychain." << "sk-new" << "";
        QTest::newRow("save replaces") << "sk-old" << "sk-new" << "save" << false << true
                                       << "ok: Saved to Keychain." << "sk-new" << "";
        QTest::newRow("save fails") << "" << "sk-new" << "save" << true << true << "error: Keychain error: locked"
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
                                      << "error: Keychain error: locked" << "sk-old" << "";
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
