#include "../support/Await.h"
#include "SettingsHarness.h"
#include "http/LoopbackHttpServer.h"
#include "platform/NotificationNames.h"
#include "settings/ai/AIAdvancedForm.h"
#include "settings/ai/AISettingsModel.h"
#include "settings/ai/AISettingsPage.h"
#include "settings/ai/AISetupView.h"
#include "settings/ai/ProviderRow.h"
#include "settings/ai/TextRoute.h"
#include "settings/kit/SettingsLooks.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QTest>
#include <algorithm>

using namespace vima;
using namespace vima::test;

class TestAISettingsPage : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void aTimeoutBeyondTheSliderSurvivesAShow()
    {
        SettingsHarness harness;
        VimaConfig config = ConfigStore::makeDefaultConfig();
        config.ai.timeout = 300;
        harness.fixture.open(config);
        const QByteArray before = readAll(harness.fixture.file());
        harness.userDefaults.setValue(AISettingsModel::modeKey, QStringLiteral("advanced"));

        AISettingsPage page(harness.context());
        page.show();
        harness.fixture.scheduler.advance(ConfigStore::saveDelay * 2);
        AIAdvancedForm *form = page.advancedForm();
        QCOMPARE(form->timeoutLabel()->text(), QStringLiteral("300s"));
        QCOMPARE(harness.store().config().ai.timeout, 300.0);
        QCOMPARE(readAll(harness.fixture.file()), before);

        // Moved by the user, it takes the slider's steps.
        form->timeoutSlider()->setFocus();
        QTest::keyClick(form->timeoutSlider(), Qt::Key_Left);
        QCOMPARE(harness.store().config().ai.timeout, 175.0);
        QCOMPARE(form->timeoutLabel()->text(), QStringLiteral("175s"));
    }

    // Assistive technology sees the provider rows as one choice of radio
    // buttons, checked while chosen, while each row stays a tab stop; the
    // server hint names the model the server would be asked for.
    void providerRowsAreRadioButtonsAndTheHintNamesTheModel()
    {
        SettingsHarness harness;
        VimaConfig config = ConfigStore::makeDefaultConfig();
        config.ai.provider = LLMProviderKind::ollama;
        config.ai.model = QStringLiteral("qwen2.5:7b");
        harness.fixture.open(config);
        harness.userDefaults.setValue(AISettingsModel::modeKey, QStringLiteral("advanced"));
        AISettingsPage page(harness.context());
        page.show();
        AIAdvancedForm *form = page.advancedForm();
        QCOMPARE(form->serverHint()->text(), QStringLiteral("Start Ollama, then pull a model: ollama pull qwen2.5:7b"));
        harness.store().edit([](VimaConfig &edited) { edited.ai.model = QStringLiteral("mistral"); });
        QCOMPARE(form->serverHint()->text(), QStringLiteral("Start Ollama, then pull a model: ollama pull mistral"));

        QList<ProviderRow *> rows;
        for (ProviderRow *row : form->providerRows()) {
            if (row->isVisibleTo(&page))
                rows << row;
        }
        QCOMPARE(rows.size(), 3);
        const auto checked = [](ProviderRow *row) { return QAccessible::queryAccessibleInterface(row)->state().checked; };
        for (ProviderRow *row : rows) {
            QCOMPARE(QAccessible::queryAccessibleInterface(row)->role(), QAccessible::RadioButton);
            QCOMPARE(checked(row), row->kind() == LLMProviderKind::ollama);
        }
        QVERIFY(QTest::qWaitForWindowActive(&page));
        rows.first()->setFocus();
        for (ProviderRow *row : rows.mid(1)) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), row);
        }

        ProviderRow *openAI = rows.at(1);
        QCOMPARE(openAI->kind(), LLMProviderKind::openai);
        QAccessible::queryAccessibleInterface(openAI)->actionInterface()->doAction(
            QAccessibleActionInterface::toggleAction());
        QCOMPARE(harness.store().config().ai.provider, LLMProviderKind::openai);
        QVERIFY(checked(openAI));
        QVERIFY(!checked(rows.last()));
    }

    // A local choice with a saved cloud key: the card says so and removes
    // the key on the spot; then it promises that text stays here.
    void theSimpleViewRemovesAKeyThatSendsTextAway()
    {
        SettingsHarness harness;
        VimaConfig config = ConfigStore::makeDefaultConfig();
        config.ai.provider = LLMProviderKind::ollama;
        config.ai.ollamaBaseURL = QStringLiteral("http://127.0.0.1:%1").arg(LoopbackHttpServer::closedPort());
        harness.fixture.open(config);
        harness.llm = std::make_unique<LLMService>(
            [&harness](LLMProviderKind kind) { return harness.keychain->apiKey(kind); },
            LLMService::standardProviders({}, harness.ollama, harness.fixture.scheduler), harness.ollama);
        harness.context();
        await(harness.keychain->setAPIKey(QStringLiteral("sk-ant"), LLMProviderKind::anthropic));
        AISettingsPage page(harness.context());
        page.show();

        const auto removeButtons = [&page] {
            QList<QPushButton *> found;
            for (QPushButton *button : page.findChildren<QPushButton *>()) {
                if (button->isVisible() && button->text() == TextRoute::removeKeyLabel(LLMProviderKind::anthropic))
                    found << button;
            }
            return found;
        };
        const auto promisesToStay = [&page] {
            const QList<QLabel *> labels = page.findChildren<QLabel *>();
            return std::ranges::any_of(labels, [](QLabel *label) {
                return label->isVisible() && label->text().contains(QStringLiteral("never leaves"));
            });
        };
        QCOMPARE(removeButtons().size(), 1);
        QVERIFY(!promisesToStay());
        QTest::mouseClick(removeButtons().constFirst(), Qt::LeftButton);
        QTRY_VERIFY(removeButtons().isEmpty());
        QVERIFY(!harness.secrets.items.contains(Keychain::account(LLMProviderKind::anthropic)));
        QVERIFY(promisesToStay());
    }

    void keyFieldDrivesTheButtons()
    {
        SettingsHarness harness;
        VimaConfig config = ConfigStore::makeDefaultConfig();
        config.ai.provider = LLMProviderKind::openai;
        harness.fixture.open(config);
        harness.userDefaults.setValue(AISettingsModel::modeKey, QStringLiteral("advanced"));
        AISettingsPage page(harness.context());
        page.show();
        AIAdvancedForm *form = page.advancedForm();
        QCOMPARE(form->keyField()->echoMode(), QLineEdit::Password);
        QCOMPARE(form->keyField()->accessibleName(), QStringLiteral("OpenAI key"));

        form->keyField()->setFocus();
        QTest::keyClicks(form->keyField(), QStringLiteral("   "));
        QVERIFY(!form->saveButton()->isEnabled());
        QVERIFY(form->testButton()->isEnabled());
        QTest::keyClicks(form->keyField(), QStringLiteral("sk-1"));
        QVERIFY(form->saveButton()->isEnabled());
        QTest::mouseClick(form->saveButton(), Qt::LeftButton);
        QTRY_VERIFY(form->removeButton()->isVisible());
        QCOMPARE(form->keyField()->text(), QString());
        QCOMPARE(QString::fromUtf8(harness.secrets.items.value(QStringLiteral("api-key.openai"))),
                 QStringLiteral("sk-1"));
        QVERIFY(form->resultLine()->isVisible());
    }

    // The simple view's button probes at once and reads "Checking…" while it waits.
    void checkAgainAsksTheServer()
    {
        LoopbackHttpServer server;
        HttpRoute slow = HttpRoute::reply(200, R"({"models":[]})");
        slow.delayMs = 150;
        server.setRoute("/api/tags", slow);
        SettingsHarness harness;
        VimaConfig config = ConfigStore::makeDefaultConfig();
        config.ai.ollamaBaseURL = server.url(QString()).toString();
        harness.fixture.open(config);
        AISettingsPage page(harness.context());
        page.show();
        auto *check = page.findChild<QPushButton *>(QStringLiteral("checkAgain"));
        QTRY_VERIFY(check->isVisible() && check->isEnabled());
        const qsizetype asked = server.requests("/api/tags").size();

        check->setFocus();
        QTest::keyClick(check, Qt::Key_Space);
        QCOMPARE(check->accessibleName(), QStringLiteral("Checking…"));
        QVERIFY(!check->isEnabled());
        QTRY_COMPARE(server.requests("/api/tags").size(), asked + 1);
        QTRY_VERIFY(check->isEnabled());
        QCOMPARE(check->accessibleName(), QStringLiteral("Check Again"));
        QVERIFY(check->hasFocus());
        // Each view's Open Permissions, there while the trust is missing, opens the Permissions tab.
        QVariantList opened;
        harness.notifications.observe(notifications::openSettings, [&opened](const QVariant &tab) { opened << tab; });
        const QList<QWidget *> views{page.findChild<AISetupView *>(), page.advancedForm()};
        for (QWidget *view : views) {
            auto *open = view->findChild<QPushButton *>(QStringLiteral("openPermissions"));
            QVERIFY(open->isVisibleTo(view));
            open->click();
        }
        QCOMPARE(opened, QVariantList(2, QStringLiteral("permissions")));
        harness.accessibility.trusted = true;
        harness.permissions->recheck();
        for (QWidget *view : views)
            QVERIFY(!view->findChild<QPushButton *>(QStringLiteral("openPermissions"))->isVisibleTo(view));
    }

    void maxTokensTakesNumbersOnly()
    {
        SettingsHarness harness;
        harness.fixture.open();
        harness.userDefaults.setValue(AISettingsModel::modeKey, QStringLiteral("advanced"));
        AISettingsPage page(harness.context());
        page.show();
        QLineEdit *field = page.advancedForm()->maxTokensField();
        field->setFocus();
        field->selectAll();
        QTest::keyClicks(field, QStringLiteral("lots"));
        QTest::keyClick(field, Qt::Key_Return);
        QCOMPARE(field->text(), QLocale().toString(qint64(2048)));
        field->selectAll();
        QTest::keyClicks(field, QStringLiteral("4096"));
        QTest::keyClick(field, Qt::Key_Return);
        QCOMPARE(harness.store().config().ai.maxTokens, qint64(4096));
    }
};

QTEST_MAIN(TestAISettingsPage)
#include "tst_aisettingspage.moc"
