#include "AgentHome.h"
#include "AgentProcess.h"
#include "RingGestures.h"

#include "store/ConfigStore.h"

#include <QDir>
#include <QFile>
#include <QTest>
#include <algorithm>
#include <array>
#include <memory>

using namespace vima;
using namespace agent_home;
using namespace ring_gestures;

class TestOneAgent : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Copies started together, or each once the one before runs, leave exactly
    // one, each ending the one before it, whatever runtime folder each start
    // sees (a `su -` shell has none); the one left holds the hotkey and opens
    // its settings, as a relaunch does.
    void copiesLeaveOne_data()
    {
        QTest::addColumn<int>("copies");
        QTest::addColumn<bool>("oneAfterAnother");
        // Unset for every copy after the first.
        QTest::addColumn<QByteArray>("unset");
        QTest::newRow("five started together") << 5 << false << QByteArray();
        QTest::newRow("a second start without XDG_RUNTIME_DIR") << 2 << true << QByteArray("XDG_RUNTIME_DIR");
    }

    void copiesLeaveOne()
    {
        QFETCH(int, copies);
        QFETCH(bool, oneAfterAnother);
        QFETCH(QByteArray, unset);
        QVERIFY(QDir().mkpath(configFolder()));
        QFile file(configPath());
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(ConfigStore::encode(ConfigStore::makeDefaultConfig()));
        file.close();

        const QByteArray kept = qgetenv(unset.constData());
        // Each agent takes the environment it is made in.
        std::array<std::unique_ptr<AgentProcess>, 5> agents;
        for (int i = 0; i < copies; ++i) {
            if (i == 1 && !unset.isEmpty())
                qunsetenv(unset.constData());
            agents[i] = std::make_unique<AgentProcess>();
            if (oneAfterAnother)
                QVERIFY(agents[i]->start());
            else
                agents[i]->launch();
        }
        if (!unset.isEmpty())
            qputenv(unset.constData(), kept);
        const auto isRunning = [](const std::unique_ptr<AgentProcess> &agent) { return agent && agent->isRunning(); };
        const auto running = [&] { return std::count_if(agents.begin(), agents.end(), isRunning); };
        QTRY_COMPARE_WITH_TIMEOUT(running(), 1, 30000);
        AgentProcess &survivor = **std::find_if(agents.begin(), agents.end(), isRunning);
        if (oneAfterAnother)
            QCOMPARE(&survivor, agents[copies - 1].get());
        else
            QVERIFY(survivor.waitForLog(QStringLiteral("Tavelon is running")));
        QTRY_VERIFY(windowVisible(QStringLiteral("Tavelon Settings")));
        pressHotkey();
        QTRY_VERIFY(ringVisible());
        releaseHotkey();
        QTest::qWait(1000); // none comes back
        QCOMPARE(running(), 1);
        QVERIFY(survivor.terminate());
    }
};

QTEST_MAIN(TestOneAgent)
#include "e2e_oneagent.moc"
