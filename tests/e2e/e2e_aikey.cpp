#include "AgentHome.h"
#include "AgentProcess.h"
#include "AtspiClient.h"

#include "../support/Await.h"
#include "platform/x11/QtKeychainSecretStore.h"
#include "services/Keychain.h"
#include "store/ConfigStore.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTest>

using namespace vima;
using namespace agent_home;

namespace {

const QByteArray secretKey = "sk-ant-e2e-7f3a9c";
const QString account = QStringLiteral("api-key.anthropic");


QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool xdotool(const QStringList &arguments, QByteArray *output = nullptr)
{
    QProcess process;
    process.start(QStringLiteral("xdotool"), arguments);
    if (!process.waitForFinished(30000) || process.exitCode() != 0)
        return false;
    if (output)
        *output = process.readAllStandardOutput().trimmed();
    return true;
}

bool press(const QStringList &names)
{
    return xdotool(QStringList{QStringLiteral("key"), QStringLiteral("--delay"), QStringLiteral("60")} + names);
}

// Searched again and again: a waiting search (--sync) sometimes misses a
// window that is mapped, placed and mapped again.
QByteArray settingsWindow()
{
    const QDeadlineTimer deadline(60000);
    QByteArray found;
    while (!deadline.hasExpired()) {
        if (xdotool({"search", "--onlyvisible", "--name", "Tavelon Settings"}, &found) && !found.isEmpty())
            return found.split('\n').first();
        QTest::qWait(100);
    }
    return {};
}

} // namespace

// Runs inside tests/support/xsession.sh: a private X server, openbox, a session
// bus and a temporary HOME. The keyring is gnome-keyring on that bus.
class TestAIKeyRoad : public QObject {
    Q_OBJECT

private:
    QProcess keyring_;

    std::optional<QByteArray> storedKey()
    {
        QtKeychainSecretStore store(Keychain::service);
        return test::await(store.read(account));
    }

private Q_SLOTS:
    void initTestCase()
    {
        // The agent's buttons, read over the accessibility bus, say when it is ready for the next key.
        qputenv("QT_LINUX_ACCESSIBILITY_ALWAYS_ON", "1");
        keyring_.start(QStringLiteral("gnome-keyring-daemon"),
                       {QStringLiteral("--foreground"), QStringLiteral("--unlock"), QStringLiteral("--components=secrets")});
        QVERIFY(keyring_.waitForStarted());
        keyring_.write("test-password");
        keyring_.closeWriteChannel();
        QTRY_VERIFY_WITH_TIMEOUT(
            QDBusConnection::sessionBus().interface()->isServiceRegistered(QStringLiteral("org.freedesktop.secrets")),
            30000);
    }

    void cleanupTestCase()
    {
        keyring_.terminate();
        keyring_.waitForFinished(5000);
    }

    void aKeyTypedInTheSettingsLivesOnlyInTheKeyring()
    {
        VimaConfig config = ConfigStore::makeDefaultConfig();
        config.ai.provider = LLMProviderKind::anthropic;
        config.ai.model = defaultModel(LLMProviderKind::anthropic);
        QDir().mkpath(configFolder());
        QFile file(configPath());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(ConfigStore::encode(config));
        file.close();
        QFile defaults(configFolder() + QStringLiteral("/Tavelon.conf"));
        QVERIFY(defaults.open(QIODevice::WriteOnly));
        defaults.write("[General]\nsettings.ai.mode=advanced\n");
        defaults.close();

        // A second launch ends the first and opens the settings.
        AgentProcess first;
        QVERIFY(first.start());
        AgentProcess agent(QStringLiteral("*.debug=true"));
        QVERIFY(agent.start());
        QVERIFY(first.waitForExit());
        AtspiClient atspi;
        QVERIFY(atspi.isConnected());
        AtspiClient::Node app;
        QTRY_VERIFY_WITH_TIMEOUT(!(app = atspi.application(QStringLiteral("tavelon"))).isNull(), 30000);
        const QByteArray window = settingsWindow();
        QVERIFY(!window.isEmpty());
        QVERIFY(xdotool({"windowactivate", "--sync", QString::fromUtf8(window)}));

        // Items, General, AI; then the mode's segments and the three providers
        // listed (the on-device one only while it is the choice).
        QVERIFY(press({"ctrl+Tab", "ctrl+Tab"}));
        QVERIFY(press(QStringList(5, QStringLiteral("Tab"))));
        QVERIFY(xdotool({"type", "--delay", "30", QString::fromUtf8(secretKey)}));
        QVERIFY(press({"Tab", "space"}));
        QTRY_COMPARE_WITH_TIMEOUT(storedKey(), std::optional<QByteArray>(secretKey), 10000);

        // The focus is back in the field; Save is disabled, Remove next once
        // the agent has heard back from the keyring and shows it.
        QTRY_VERIFY_WITH_TIMEOUT(!atspi.find(app, QStringLiteral("push button"), QStringLiteral("Remove")).isNull(),
                                 30000);
        QVERIFY(press({"Tab", "space"}));
        QTRY_COMPARE_WITH_TIMEOUT(storedKey(), std::optional<QByteArray>(), 10000);

        QVERIFY(agent.terminate());
        QVERIFY(!readAll(configPath()).contains(secretKey));
        QVERIFY(!readAll(configFolder() + QStringLiteral("/Tavelon.conf")).contains(secretKey));
        QVERIFY(agent.log().size() > 10);
        QVERIFY(!agent.log().join(QLatin1Char('\n')).toUtf8().contains(secretKey));
    }
};

QTEST_MAIN(TestAIKeyRoad)
#include "e2e_aikey.moc"
