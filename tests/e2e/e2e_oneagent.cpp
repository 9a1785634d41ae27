#include "AgentHome.h"
#include "AgentProcess.h"
#include "RingGestures.h"

#include "store/ConfigStore.h"

#include <QDir>
#include <QFile>
#include <QTest>
#include <algorithm>
#include <array>

using namespace vima;
using namespace agent_home;
using namespace ring_gestures;

class TestOneAgent : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Copies started at the same moment leave exactly one, each ending the
    // one before it; the one left opens its settings, as a relaunch does.
    void copiesStartedTogetherLeaveOne()
    {
        QVERIFY(QDir().mkpath(configFolder()));
        QFile file(configPath());
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(ConfigStore::encode(ConfigStore::makeDefaultConfig()));
        file.close();

        std::array<AgentProcess, 5> agents;
        for (AgentProcess &agent : agents)
            agent.launch();
        const auto running = [&agents] {
            return std::count_if(agents.begin(), agents.end(), [](const AgentProcess &agent) { return agent.isRunning(); });
        };
        QTRY_COMPARE_WITH_TIMEOUT(running(), 1, 30000);
        AgentProcess &survivor = *std::find_if(agents.begin(), agents.end(),
                                               [](const AgentProcess &agent) { return agent.isRunning(); });
        QVERIFY(survivor.waitForLog(QStringLiteral("Tavelon is running")));
        QTRY_VERIFY(windowVisible(QStringLiteral("Tavelon Settings")));
        QTest::qWait(1000); // none comes back
        QCOMPARE(running(), 1);
        QVERIFY(survivor.terminate());
    }
};

QTEST_MAIN(TestOneAgent)
#include "e2e_oneagent.moc"
