#include "AgentHome.h"
#include "AgentProcess.h"
#include "RingGestures.h"

#include "model/VimaConfig.h"
#include "store/ConfigStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>
#include <QTest>
#include <csignal>
#include <sys/stat.h>

using namespace vima;
using namespace agent_home;
using namespace ring_gestures;

namespace {

const QString settingsTitle = QStringLiteral("Tavelon Settings");

void clearConfigFolder()
{
    QDir(configFolder()).removeRecursively();
    QVERIFY(QDir().mkpath(configFolder()));
}

bool writeConfig(const VimaConfig &config)
{
    QFile file(configPath()); // in place, as a text editor that keeps the file does
    const QByteArray bytes = ConfigStore::encode(config);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

VimaConfig readConfig(const QString &path)
{
    QFile file(path);
    try {
        return file.open(QIODevice::ReadOnly) ? ConfigStore::decode(file.readAll()) : VimaConfig();
    } catch (...) {
        return {}; // caught mid-write
    }
}

QString firstRingName(const VimaConfig &config)
{
    return config.rings.isEmpty() ? QString() : config.rings.first().name;
}

QStringList copiesAside()
{
    return QDir(configFolder()).entryList({QStringLiteral("config.json.*.bak")}, QDir::Files);
}

VimaConfig pageNamed(const QString &name)
{
    VimaConfig config;
    config.rings = {{QUuid::createUuid(), name, std::nullopt, false, std::nullopt, {}}};
    return config;
}

} // namespace

class TestConfigFile : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // A file the agent reads at start that would block it or be read without
    // end (config.json, Tavelon.conf, mimeapps.list for a first start): the
    // agent starts on the defaults, its ring opens, and the entry stays.
    void startsWhenAFileIsNoFile_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("pipe");
        QTest::addColumn<QString>("logged");
        const QString defaults = QStringLiteral("Falling back to defaults");
        QTest::newRow("config.json, a named pipe") << configPath() << true << defaults;
        QTest::newRow("config.json, a link to /dev/zero") << configPath() << false << defaults;
        QTest::newRow("Tavelon.conf, a named pipe")
            << configFolder() + QStringLiteral("/Tavelon.conf") << true << QStringLiteral("“Tavelon.conf” is a named pipe");
        QTest::newRow("mimeapps.list, a named pipe")
            << QFileInfo(configFolder()).path() + QStringLiteral("/mimeapps.list") << true << QString();
    }
    void startsWhenAFileIsNoFile()
    {
        QFETCH(QString, path);
        QFETCH(bool, pipe);
        QFETCH(QString, logged);
        clearConfigFolder();
        QVERIFY(pipe ? ::mkfifo(qPrintable(path), 0600) == 0 : QFile::link(QStringLiteral("/dev/zero"), path));
        const auto removeEntry = qScopeGuard([path] { QFile::remove(path); });
        AgentProcess agent;
        QVERIFY(agent.start());
        QVERIFY(agent.log().join('\n').contains(logged));

        movePointer(summonPoint);
        pressHotkey();
        QTRY_VERIFY(ringVisible());
        releaseHotkey();
        xdotool({QStringLiteral("key"), QStringLiteral("Escape")});
        QTRY_VERIFY(!ringVisible());
        QVERIFY(agent.terminate());
        const QFileInfo entry(path);
        QCOMPARE(entry.isSymLink(), !pipe);
        QVERIFY(pipe ? entry.exists() && !entry.isFile() : entry.symLinkTarget() == QStringLiteral("/dev/zero"));
    }

    // config.json edited in a text editor while the settings are open: taken
    // when nothing waits to be saved; kept aside when the settings changed it
    // too, the agent being stopped meanwhile so that both land together.
    void editOnDiskWhileTheSettingsAreOpen_data()
    {
        QTest::addColumn<bool>("changedHereToo");
        QTest::newRow("taken") << false;
        QTest::newRow("kept aside") << true;
    }
    void editOnDiskWhileTheSettingsAreOpen()
    {
        QFETCH(bool, changedHereToo);
        clearConfigFolder();
        QVERIFY(writeConfig(pageNamed(QStringLiteral("Ours"))));
        AgentProcess first;
        QVERIFY(first.start());
        AgentProcess agent; // a second launch ends the first and opens the settings
        QVERIFY(agent.start());
        QVERIFY(first.waitForExit());
        QTRY_VERIFY_WITH_TIMEOUT(windowVisible(settingsTitle), 10000);
        QTRY_COMPARE(activeWindowPid(), agent.pid());

        const VimaConfig theirs = pageNamed(QStringLiteral("Edited outside"));
        if (!changedHereToo) {
            QVERIFY(writeConfig(theirs));
            QVERIFY(agent.waitForLog(QStringLiteral("Loaded config.json as changed on disk")));
        }
        // Settings → General: record Control-Shift-K as the hotkey.
        xdotool({QStringLiteral("key"), QStringLiteral("ctrl+Tab")});
        xdotool({QStringLiteral("key"), QStringLiteral("Tab")});
        xdotool({QStringLiteral("key"), QStringLiteral("space")});
        QTest::qWait(200);
        if (changedHereToo)
            QCOMPARE(::kill(pid_t(agent.pid()), SIGSTOP), 0);
        xkeys(QStringLiteral("keydown"), {QStringLiteral("ctrl"), QStringLiteral("shift"), QStringLiteral("k")});
        xkeys(QStringLiteral("keyup"), {QStringLiteral("k"), QStringLiteral("shift"), QStringLiteral("ctrl")});
        if (changedHereToo) {
            QVERIFY(writeConfig(theirs));
            QCOMPARE(::kill(pid_t(agent.pid()), SIGCONT), 0);
        }

        QTRY_COMPARE(readConfig(configPath()).hotkey.keyCode, 40);
        const VimaConfig saved = readConfig(configPath());
        if (changedHereToo) {
            QCOMPARE(firstRingName(saved), QStringLiteral("Ours"));
            // What the save replaced gets its name a moment after the save lands.
            QTRY_COMPARE(copiesAside().size(), 1);
            const QString copy = copiesAside().first();
            QCOMPARE(firstRingName(readConfig(configFolder() + QLatin1Char('/') + copy)),
                     QStringLiteral("Edited outside"));
            QVERIFY(agent.waitForLog(QStringLiteral("Kept the outside config.json as ") + copy));
        } else {
            QCOMPARE(firstRingName(saved), QStringLiteral("Edited outside"));
            QVERIFY(copiesAside().isEmpty());
        }
        QVERIFY(agent.terminate());
    }
};

QTEST_MAIN(TestConfigFile)
#include "e2e_configfile.moc"
