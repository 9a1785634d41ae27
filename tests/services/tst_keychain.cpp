#include "platform/KeychainError.h"
#include "platform/fake/FakeSecretStore.h"
#include "services/Keychain.h"

#include "../support/Await.h"
#include <QTest>

using namespace vima;

using Key = std::optional<QString>;
Q_DECLARE_METATYPE(Key)

namespace {

const QString anthropic = "api-key.anthropic";
const KeychainError daemonMissing(7, "The name org.freedesktop.secrets was not provided by any .service files");

} // namespace

class TestKeychain : public QObject {
    Q_OBJECT

private:
    FakeSecretStore store_;
    std::unique_ptr<Keychain> keychain_;

    void set(const Key &value, LLMProviderKind kind = LLMProviderKind::anthropic)
    {
        test::await(keychain_->setAPIKey(value, kind));
    }

    Key read(LLMProviderKind kind = LLMProviderKind::anthropic)
    {
        return test::await(keychain_->readAPIKey(kind));
    }

private Q_SLOTS:
    void init()
    {
        store_ = FakeSecretStore();
        keychain_ = std::make_unique<Keychain>(store_);
    }

    void accountNames()
    {
        QCOMPARE(Keychain::service, "com.vima.Vima");
        QCOMPARE(Keychain::account(LLMProviderKind::appleOnDevice), "api-key.appleOnDevice");
        QCOMPARE(Keychain::account(LLMProviderKind::anthropic), anthropic);
        QCOMPARE(Keychain::account(LLMProviderKind::openai), "api-key.openai");
        QCOMPARE(Keychain::account(LLMProviderKind::ollama), "api-key.ollama");
    }

    void savingTrims()
    {
        set("  sk-ant-123 \n");
        QCOMPARE(store_.items.value(anthropic), "sk-ant-123");
        QCOMPARE(keychain_->apiKey(LLMProviderKind::anthropic), Key("sk-ant-123"));
        QCOMPARE(read(), Key("sk-ant-123"));
    }

    void blankValuesDelete_data()
    {
        QTest::addColumn<Key>("value");
        QTest::newRow("nothing") << Key();
        QTest::newRow("empty") << Key("");
        QTest::newRow("spaces") << Key("   \n\t");
    }
    void blankValuesDelete()
    {
        QFETCH(Key, value);
        set("sk-old");
        set(value);
        QVERIFY(!store_.items.contains(anthropic));
        QCOMPARE(keychain_->apiKey(LLMProviderKind::anthropic), Key());
        set(value); // deleting what is not there is no error
        QCOMPARE(store_.adds, 1);
    }

    void savingOverAnItemUpdatesIt()
    {
        set("sk-first");
        set("sk-second");
        QCOMPARE(store_.adds, 1);
        QCOMPARE(store_.updates, 2);
        QCOMPARE(store_.items.size(), 1);
        QCOMPARE(store_.items.value(anthropic), "sk-second");
    }

    void readingGivesWhatIsStored_data()
    {
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<Key>("expected");
        QTest::newRow("not trimmed on read") << QByteArray(" sk ") << Key(" sk ");
        QTest::newRow("utf-8") << QByteArray("sk-\xc3\xa9") << Key("sk-\u00e9");
        QTest::newRow("empty") << QByteArray("") << Key();
        QTest::newRow("not utf-8") << QByteArray("sk-\xff\xfe") << Key();
    }
    void readingGivesWhatIsStored()
    {
        QFETCH(QByteArray, stored);
        QFETCH(Key, expected);
        store_.items.insert(anthropic, stored);
        QCOMPARE(read(), expected);
        QCOMPARE(keychain_->apiKey(LLMProviderKind::anthropic), expected);
    }

    void readingANeverSavedKeyGivesNothing()
    {
        QCOMPARE(read(LLMProviderKind::openai), Key());
    }

    void loadFillsTheCacheAndReadsServeIt()
    {
        store_.items.insert("api-key.openai", "sk-openai");
        store_.items.insert(anthropic, "sk-ant");
        test::await(keychain_->load());
        const int reads = store_.reads;
        QCOMPARE(keychain_->apiKey(LLMProviderKind::openai), Key("sk-openai"));
        QCOMPARE(keychain_->apiKey(LLMProviderKind::anthropic), Key("sk-ant"));
        QCOMPARE(keychain_->apiKey(LLMProviderKind::ollama), Key());
        QCOMPARE(store_.reads, reads);
    }

    void anUnreachableKeyringReadsAsNoKey()
    {
        store_.items.insert(anthropic, "sk-ant");
        store_.failure = daemonMissing;
        QCOMPARE(read(), Key());
    }

    void writeFailuresReachTheCaller()
    {
        set("sk-kept");
        store_.failure = daemonMissing;
        for (const Key &value : {Key("sk-new"), Key()}) {
            try {
                set(value);
                QFAIL("no KeychainError");
            } catch (const KeychainError &error) {
                QCOMPARE(error.status(), 7);
                QCOMPARE(error.description(),
                         "Keyring error: The name org.freedesktop.secrets was not provided by any .service files");
            }
            QCOMPARE(keychain_->apiKey(LLMProviderKind::anthropic), Key("sk-kept"));
        }
    }

    void removeByAccount()
    {
        set("sk-ant");
        test::await(keychain_->remove(anthropic));
        QVERIFY(store_.items.isEmpty());
        QCOMPARE(keychain_->apiKey(LLMProviderKind::anthropic), Key());
    }

    void errorWithoutAMessageNamesTheStatus()
    {
        QCOMPARE(KeychainError(-25308).description(), "Keyring error: status -25308");
        QCOMPARE(QString::fromUtf8(KeychainError(5, "No keyring").what()), "Keyring error: No keyring");
    }
};

QTEST_GUILESS_MAIN(TestKeychain)
#include "tst_keychain.moc"
