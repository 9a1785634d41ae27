#include "platform/KeychainError.h"
#include "platform/x11/QtKeychainSecretStore.h"
#include "services/Keychain.h"

#include "../support/Await.h"
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace vima;

namespace {

using Data = std::optional<QByteArray>;

// A session bus that activates nothing, so no keyring daemon can start unless
// the test starts one.
const QByteArray busConfig =
    "<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN\"\n"
    " \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
    "<busconfig>\n"
    "  <type>session</type>\n"
    "  <listen>unix:tmpdir=/tmp</listen>\n"
    "  <auth>EXTERNAL</auth>\n"
    "  <policy context=\"default\">\n"
    "    <allow send_destination=\"*\" eavesdrop=\"true\"/>\n"
    "    <allow eavesdrop=\"true\"/>\n"
    "    <allow own=\"*\"/>\n"
    "  </policy>\n"
    "</busconfig>\n";

void stop(QProcess &process)
{
    if (process.state() == QProcess::NotRunning)
        return;
    process.terminate();
    if (!process.waitForFinished(5000))
        process.kill();
}

} // namespace

// Runs inside tests/support/xsession.sh (a temporary HOME), on a bus of its own.
class KeyringRoundTrip : public QObject {
    Q_OBJECT

private:
    QTemporaryDir dir_;
    QProcess bus_;
    QProcess keyring_;
    std::optional<QtKeychainSecretStore> store_;

    // gnome-keyring-daemon in the foreground, its login keyring created and
    // unlocked with a password from stdin; ready once it owns the Secret
    // Service name.
    void startKeyring()
    {
        keyring_.setProgram(QStringLiteral("gnome-keyring-daemon"));
        keyring_.setArguments({"--foreground", "--unlock", "--components=secrets"});
        keyring_.start();
        QVERIFY(keyring_.waitForStarted());
        keyring_.write("test-password");
        keyring_.closeWriteChannel();
        QTRY_VERIFY_WITH_TIMEOUT(
            QDBusConnection::sessionBus().interface()->isServiceRegistered("org.freedesktop.secrets"), 30000);
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(dir_.isValid());
        QFile config(dir_.filePath("bus.conf"));
        QVERIFY(config.open(QIODevice::WriteOnly));
        config.write(busConfig);
        config.close();
        bus_.start("dbus-daemon", {"--nofork", "--print-address=1", "--config-file=" + config.fileName()});
        QVERIFY(bus_.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(bus_.canReadLine(), 30000);
        qputenv("DBUS_SESSION_BUS_ADDRESS", bus_.readLine().trimmed());
        store_.emplace(QStringLiteral("com.vima.Vima"));
    }

    void cleanupTestCase()
    {
        stop(keyring_);
        stop(bus_);
    }

    void withoutAKeyringDaemonWritesFailWithItsMessage()
    {
        try {
            test::await(store_->add("api-key.anthropic", "sk-ant"));
            QFAIL("stored without a keyring");
        } catch (const KeychainError &error) {
            QVERIFY2(error.description().startsWith("Keyring error: ") && !error.message().isEmpty(),
                     qPrintable(error.description()));
        }
        QVERIFY_THROWS_EXCEPTION(KeychainError, test::await(store_->read("api-key.anthropic")));
    }

    void aKeyRoundTrips()
    {
        startKeyring();
        if (QTest::currentTestFailed())
            return;
        const QString account = QStringLiteral("api-key.anthropic");
        QCOMPARE(test::await(store_->read(account)), Data());
        QVERIFY(!test::await(store_->update(account, "sk-first")));
        test::await(store_->add(account, "sk-first"));
        QCOMPARE(test::await(store_->read(account)), Data("sk-first"));
        QVERIFY(test::await(store_->update(account, "sk-second")));
        QCOMPARE(test::await(store_->read(account)), Data("sk-second"));
        QCOMPARE(test::await(store_->read("api-key.openai")), Data());
        test::await(store_->remove(account));
        QCOMPARE(test::await(store_->read(account)), Data());
        test::await(store_->remove(account)); // already gone: no error
    }

    void anAPIKeyOutlivesTheKeychainThatStoredIt()
    {
        test::await(Keychain(*store_).setAPIKey("  sk-e2e \n", LLMProviderKind::openai));
        QtKeychainSecretStore otherStore(Keychain::service);
        Keychain keychain(otherStore);
        QCOMPARE(keychain.apiKey(LLMProviderKind::openai), std::nullopt);
        test::await(keychain.load());
        QCOMPARE(keychain.apiKey(LLMProviderKind::openai), std::optional<QString>("sk-e2e"));
        QCOMPARE(keychain.apiKey(LLMProviderKind::anthropic), std::nullopt);
        test::await(keychain.setAPIKey(" ", LLMProviderKind::openai));
        QCOMPARE(test::await(Keychain(*store_).readAPIKey(LLMProviderKind::openai)), std::nullopt);
    }
};

QTEST_GUILESS_MAIN(KeyringRoundTrip)
#include "e2e_keyring.moc"
