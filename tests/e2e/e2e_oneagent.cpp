#include "AgentHome.h"
#include "AgentProcess.h"
#include "BuildFolder.h"
#include "RingGestures.h"
#include "SupportProgram.h"

#include "store/ConfigStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <unistd.h>
#include <xcb/xcb.h>

using namespace vima;
using namespace agent_home;
using namespace ring_gestures;

namespace {

// The selection the running copy owns.
QByteArray lockName() { return "_COM_VIMA_VIMA_U" + QByteArray::number(::getuid()); }

// As any program can: a SelectionClear sent to the running copy.
bool forgeSelectionClear()
{
    xcb_connection_t *connection = xcb_connect(nullptr, nullptr);
    const QByteArray name = lockName();
    xcb_intern_atom_reply_t *atom = xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 0, uint16_t(name.size()), name.constData()), nullptr);
    xcb_get_selection_owner_reply_t *owner =
        atom ? xcb_get_selection_owner_reply(connection, xcb_get_selection_owner(connection, atom->atom), nullptr)
             : nullptr;
    const bool sent = owner && owner->owner != XCB_NONE;
    if (sent) {
        xcb_selection_clear_event_t clear{};
        clear.response_type = XCB_SELECTION_CLEAR;
        clear.owner = owner->owner;
        clear.selection = atom->atom;
        char event[32] = {};
        std::memcpy(event, &clear, sizeof(clear));
        xcb_send_event(connection, 0, owner->owner, XCB_EVENT_MASK_NO_EVENT, event);
        // Sent once the server has answered a later request.
        std::free(xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr));
    }
    std::free(owner);
    std::free(atom);
    xcb_disconnect(connection);
    return sent;
}

} // namespace

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
        // "forged clear": another program then tells the one left that it lost its selection;
        // "our name held": another program, called as the agent, holds the selection first
        QTest::addColumn<QString>("twist");
        QTest::newRow("five started together") << 5 << false << QByteArray() << QString();
        QTest::newRow("a second start without XDG_RUNTIME_DIR")
            << 2 << true << QByteArray("XDG_RUNTIME_DIR") << QString();
        QTest::newRow("a forged SelectionClear") << 2 << true << QByteArray() << "forged clear";
        QTest::newRow("another program called as ours holds the name") << 1 << true << QByteArray() << "our name held";
        QTest::newRow("the last started without standard error") << 2 << true << QByteArray() << "no stderr";
    }

    void copiesLeaveOne()
    {
        QFETCH(int, copies);
        QFETCH(bool, oneAfterAnother);
        QFETCH(QByteArray, unset);
        QFETCH(QString, twist);
        QTemporaryDir holderFolder;
        std::unique_ptr<QProcess> holder;
        if (twist == QLatin1String("our name held")) {
            const QString holderPath = holderFolder.filePath(QFileInfo(QStringLiteral(TAVELON_BINARY)).fileName());
            QVERIFY(QFile::copy(buildFolder() + QStringLiteral("/tests/support/x11/bad_selection_owner"), holderPath));
            holder = std::make_unique<QProcess>();
            holder->start(holderPath, {QString::fromLatin1(lockName()), QStringLiteral("silent")});
            QVERIFY(holder->waitForReadyRead(30000));
        }
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
            const bool blind = twist == QLatin1String("no stderr") && i == copies - 1; // its log can't be read
            if (blind)
                agents[i]->closeAtStart(2);
            if (oneAfterAnother && !blind)
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
        if (twist == QLatin1String("forged clear")) {
            QVERIFY(forgeSelectionClear());
            QVERIFY2(survivor.waitForLog(QStringLiteral("Ignored a SelectionClear")),
                     qPrintable(survivor.log().join(u'\n')));
        }
        pressHotkey();
        QTRY_VERIFY(ringVisible());
        releaseHotkey();
        QTest::qWait(1000); // none comes back
        QCOMPARE(running(), 1);
        QVERIFY(survivor.terminate());
        if (holder)
            QCOMPARE(holder->state(), QProcess::Running); // left alone
    }
};

QTEST_MAIN(TestOneAgent)
#include "e2e_oneagent.moc"
