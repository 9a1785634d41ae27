// The AI road of the real agent on a private X server: text selected in
// another application, the ring, a local server that answers like Ollama, and
// one that stands in for Anthropic, whose key is in gnome-keyring.
#include "AgentHome.h"
#include "AgentProcess.h"
#include "ClipboardContents.h"
#include "RingGestures.h"
#include "SupportProgram.h"
#include "TextTargetClient.h"
#include "http/LoopbackHttpServer.h"

#include "../support/Await.h"
#include "model/VimaConfig.h"
#include "platform/x11/ClipboardParcel.h"
#include "platform/x11/QtKeychainSecretStore.h"
#include "platform/x11/X11ClipboardKeeper.h"
#include "platform/x11/X11OwnConnection.h"
#include "platform/x11/X11SelectionReader.h"
#include "services/Keychain.h"
#include "store/ConfigStore.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QScopeGuard>
#include <QTemporaryFile>
#include <QTest>
#include <memory>
#include <unistd.h>

using namespace vima;
using namespace ring_gestures;

namespace {

const QString selected = QStringLiteral("the quick brown fox");
const QString answer = QStringLiteral("A swift auburn fox.");
const QByteArray anthropicKey = "sk-ant-e2e-route";

enum Slot { rewriteSlot = 0, proofreadSlot = 1, summarizeSlot = 2, toneSlot = 4, explainSlot = 6 };

RingItem aiSlot(int slot, const QString &title, const QString &prompt, ResultHandling handling,
                bool needsStrongModel = false)
{
    AIPayload payload;
    payload.systemPrompt = prompt;
    payload.resultHandling = handling;
    payload.needsStrongModel = needsStrongModel;
    return RingItem{QUuid::createUuid(), title, IconSpec::symbol(QStringLiteral("sparkles")), slot,
                    ItemAction{payload}};
}

VimaConfig testConfig(const QUrl &server)
{
    VimaConfig config;
    Ring page{QUuid::createUuid(), QStringLiteral("AI"), std::nullopt, false, std::nullopt, {}};
    page.items = {
        aiSlot(rewriteSlot, QStringLiteral("Rewrite"), QStringLiteral("Rewrite the text."),
               ResultHandling::replaceSelection),
        aiSlot(summarizeSlot, QStringLiteral("Summarize"), QStringLiteral("Summarize the text."),
               ResultHandling::showPopover),
        aiSlot(toneSlot, QStringLiteral("Tone"), QStringLiteral("Make {{selection}} sound {{ask:Which tone?}}."),
               ResultHandling::showPopover),
        aiSlot(explainSlot, QStringLiteral("Explain"), QStringLiteral("Explain the text."),
               ResultHandling::showPopover),
        aiSlot(proofreadSlot, QStringLiteral("Proofread"), QStringLiteral("Proofread the text."),
               ResultHandling::showPopover, true),
    };
    config.rings = {page};
    config.ai.provider = LLMProviderKind::ollama;
    config.ai.model = QStringLiteral("llama3.2");
    config.ai.ollamaBaseURL = server.toString();
    config.ai.timeout = 20;
    return config;
}

QByteArray ollamaAnswer(const QString &text)
{
    return QJsonDocument(QJsonObject{{"model", "llama3.2"},
                                     {"message", QJsonObject{{"role", "assistant"}, {"content", text}}},
                                     {"done", true}})
        .toJson(QJsonDocument::Compact);
}

// What another program reads from a selection ("clipboard" or "primary").
QString readSelection(const QString &which)
{
    QProcess xclip;
    xclip.start(QStringLiteral("xclip"), {"-selection", which, "-o"});
    const QDeadlineTimer deadline(5000);
    while (xclip.state() != QProcess::NotRunning && !deadline.hasExpired())
        QTest::qWait(5);
    return QString::fromUtf8(xclip.readAllStandardOutput());
}

// The most the process has held in memory, from /proc (VmHWM), in KB.
qint64 peakResidentKB(qint64 pid)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toLongLong();
    }
    return -1;
}

// The clipboard keepers that serve this X display.
int keepers()
{
    int count = 0;
    const QByteArray display = "DISPLAY=" + qgetenv("DISPLAY");
    for (const QString &pid : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile commandLine(QStringLiteral("/proc/%1/cmdline").arg(pid));
        QFile environment(QStringLiteral("/proc/%1/environ").arg(pid));
        if (!commandLine.open(QIODevice::ReadOnly) || !environment.open(QIODevice::ReadOnly))
            continue;
        if (commandLine.readAll().split('\0').contains(X11ClipboardKeeper::argument)
            && environment.readAll().split('\0').contains(display))
            ++count;
    }
    return count;
}

QString jsonString(const QString &text)
{
    const QByteArray array = QJsonDocument(QJsonArray{text}).toJson(QJsonDocument::Compact);
    return QString::fromUtf8(array.mid(1, array.size() - 2));
}

} // namespace

class TestAIRoadEndToEnd : public QObject {
    Q_OBJECT

    std::unique_ptr<LoopbackHttpServer> server;
    LoopbackHttpServer cloud; // stands in for Anthropic
    QProcess keyring;
    std::unique_ptr<SupportProgram> target;
    std::unique_ptr<AgentProcess> agent;

    void command(const QByteArray &line) { text_target::command(*target, line); }
    QString targetText() { return text_target::text(*target); }

    // The user selects the whole text of the target with the keyboard.
    void selectInTarget()
    {
        command("set " + jsonString(selected).toUtf8());
        command("activate");
        QTRY_COMPARE(activeWindowPid(), target->pid());
        QCOMPARE(xdotool({QStringLiteral("key"), QStringLiteral("--clearmodifiers"), QStringLiteral("ctrl+a")}), 0);
        QTRY_COMPARE(readSelection(QStringLiteral("primary")), selected);
    }

    // Hold the hotkey, sweep to the slot, let go.
    void runSlot(int slot)
    {
        QVERIFY(chooseSlotByHotkey(slot));
        QTRY_VERIFY(!ringVisible());
    }

    // Every way of typing the keeper's command by hand, even with the window
    // that holds the clipboard and a parcel in a file, is refused in one line
    // and leaves the agent and its clipboard alone.
    void typeTheKeeperByHand()
    {
        X11OwnConnection x;
        const QString owner = QString::number(x.selectionOwner(x.atom("CLIPBOARD")));
        target->send("window");
        const QString another = target->waitForLine(QStringLiteral("window ")).mid(7);
        // What Tavelon would hand its keeper, in a file: `< file` in a shell.
        QTemporaryFile parcelFile;
        QVERIFY(parcelFile.open());
        const int parcel = ClipboardParcel::seal({{QStringLiteral("UTF8_STRING"), QByteArray("typed")}}, x.serverTime());
        QVERIFY(parcel >= 0 && ::lseek(parcel, 0, SEEK_SET) == 0);
        QFile sealed;
        QVERIFY(sealed.open(parcel, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle));
        QVERIFY(parcelFile.write(sealed.readAll()) > 0 && parcelFile.flush());
        const QList<std::pair<QStringList, QString>> typed{{{}, {}},
                                                           {{owner, owner}, {}},
                                                           {{QStringLiteral("0x1a")}, {}},
                                                           {{another}, {}},
                                                           {{owner}, {}},
                                                           {{owner}, parcelFile.fileName()}};
        for (const auto &[arguments, input] : typed) {
            QProcess keeper;
            if (!input.isEmpty())
                keeper.setStandardInputFile(input);
            keeper.start(QStringLiteral(TAVELON_BINARY), QStringList{X11ClipboardKeeper::argument} + arguments);
            const bool ended = keeper.waitForFinished(10000);
            if (!ended)
                keeper.kill();
            const QByteArray said = keeper.readAllStandardError();
            QVERIFY2(ended && keeper.exitStatus() == QProcess::NormalExit && keeper.exitCode() != 0,
                     qPrintable(arguments.join(u' ')));
            QCOMPARE(said.count('\n'), 1);
            QVERIFY(said.contains(X11ClipboardKeeper::argument));
            QVERIFY(agent->isRunning());
            QCOMPARE(X11SelectionReader().ownerProcess("CLIPBOARD"), std::optional(agent->pid()));
        }
    }

    QJsonArray lastChatMessages() const
    {
        return server->requests("/api/chat").last().json()["messages"].toArray();
    }

private Q_SLOTS:
    void initTestCase()
    {
        // A cloud key saved, as a user who tried Anthropic once would have.
        keyring.start(QStringLiteral("gnome-keyring-daemon"),
                      {QStringLiteral("--foreground"), QStringLiteral("--unlock"), QStringLiteral("--components=secrets")});
        QVERIFY(keyring.waitForStarted());
        keyring.write("test-password");
        keyring.closeWriteChannel();
        QTRY_VERIFY_WITH_TIMEOUT(
            QDBusConnection::sessionBus().interface()->isServiceRegistered(QStringLiteral("org.freedesktop.secrets")),
            30000);
        QtKeychainSecretStore secrets(Keychain::service);
        test::await(secrets.add(Keychain::account(LLMProviderKind::anthropic), anthropicKey));
        QVERIFY(cloud.isListening());
        cloud.setRoute("/v1/messages",
                       HttpRoute::reply(200, R"({"content":[{"type":"text","text":"Proofread by the cloud."}]})"));
        qputenv("TAVELON_ANTHROPIC_URL", cloud.url("/v1/messages").toEncoded());

        target = std::make_unique<SupportProgram>(QStringLiteral("text_target"), QStringList{});
        QVERIFY(target->waitForLine(QStringLiteral("ready ")).startsWith(QStringLiteral("ready ")));
    }

    void init()
    {
        server = std::make_unique<LoopbackHttpServer>();
        QVERIFY(server->isListening());
        server->setRoute("/api/tags", HttpRoute::reply(200, R"({"models":[{"name":"llama3.2"}]})"));
        server->setRoute("/api/chat", HttpRoute::reply(200, ollamaAnswer(QStringLiteral("  ") + answer + "\n")));
        const QString config = agent_home::configPath();
        QDir().mkpath(QFileInfo(config).path());
        QFile file(config);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(ConfigStore::encode(testConfig(server->url(QString()))));
        file.close();
        agent = std::make_unique<AgentProcess>();
        QVERIFY(agent->start());
        selectInTarget();
    }

    void cleanupTestCase()
    {
        keyring.terminate();
        keyring.waitForFinished(5000);
    }

    void cleanup()
    {
        if (agent)
            QVERIFY(agent->terminate());
        agent.reset();
    }

    void replaceSelectionWritesTheAnswerAndGivesTheClipboardBack()
    {
        command("copy-rich");
        QTRY_COMPARE(readSelection(QStringLiteral("clipboard")), QStringLiteral("copied earlier"));
        runSlot(rewriteSlot);
        QTRY_COMPARE_WITH_TIMEOUT(targetText(), answer, 15000);
        const QJsonArray messages = lastChatMessages();
        QCOMPARE(messages[0].toObject()["content"].toString(), QStringLiteral("Rewrite the text."));
        QCOMPARE(messages[1].toObject()["content"].toString(), selected);
        QTRY_COMPARE_WITH_TIMEOUT(readSelection(QStringLiteral("clipboard")), QStringLiteral("copied earlier"), 5000);
        QVERIFY(!windowVisible(QStringLiteral("Rewrite")));
    }

    // After a replace the agent holds the clipboard it gave back; when it
    // ends, a keeper goes on serving it. Each row finds the keeper of the
    // row before serving, whose clipboard the replace reads and gives back.
    void theClipboardOutlivesTheAgent_data()
    {
        QTest::addColumn<QString>("end"); // how the agent ends
        QTest::newRow("TERM") << "term";
        QTest::newRow("a second start") << "second start";
        QTest::newRow("TERM, after the keeper was typed by hand") << "by hand";
    }

    void theClipboardOutlivesTheAgent()
    {
        QFETCH(QString, end);
        // After the TERM row, a second start meets the keeper that row left serving.
        if (end != QLatin1String("second start") || keepers() == 0) {
            command("copy-rich");
            QTRY_COMPARE(readSelection(QStringLiteral("clipboard")), QStringLiteral("copied earlier"));
        }
        const auto before = clipboard_contents::read();
        QVERIFY(before.contains(QStringLiteral("image/png")));
        runSlot(rewriteSlot);
        QTRY_COMPARE_WITH_TIMEOUT(targetText(), answer, 15000);
        QTRY_COMPARE_WITH_TIMEOUT(X11SelectionReader().ownerProcess("CLIPBOARD"), std::optional(agent->pid()), 5000);
        if (end == QLatin1String("by hand"))
            typeTheKeeperByHand();
        if (end != QLatin1String("second start")) {
            QVERIFY(agent->terminate());
        } else {
            auto second = std::make_unique<AgentProcess>();
            QVERIFY(second->start());
            QVERIFY(agent->waitForExit());
            agent = std::move(second);
        }
        QCOMPARE(clipboard_contents::changesSince(before, clipboard_contents::read()).join(u','), QString());
        QCOMPARE(keepers(), 1);
    }

    void showPopoverShowsTheAnswerInTheResultPanel()
    {
        runSlot(summarizeSlot);
        QTRY_VERIFY_WITH_TIMEOUT(windowVisible(QStringLiteral("Summarize")), 15000);
        QTRY_COMPARE(activeWindowPid(), agent->pid());
        QTest::qWait(300); // the panel has faded in
        saveScreenshot(QStringLiteral("airoad-result-panel.png"));
        // The panel's Copy: what it shows is what the user gets.
        QCOMPARE(xdotool({QStringLiteral("key"), QStringLiteral("ctrl+c")}), 0);
        QTRY_COMPARE(readSelection(QStringLiteral("clipboard")), answer);
        QCOMPARE(targetText(), selected);
    }

    void askTokenTakesTheTypedAnswer()
    {
        runSlot(toneSlot);
        // The ask-input panel takes the keyboard.
        QTRY_COMPARE_WITH_TIMEOUT(activeWindowPid(), agent->pid(), 10000);
        QVERIFY(server->requests("/api/chat").isEmpty());
        saveScreenshot(QStringLiteral("airoad-ask-input.png"));
        QCOMPARE(xdotool({QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("20"),
                          QStringLiteral("cheerful")}),
                 0);
        QCOMPARE(xdotool({QStringLiteral("key"), QStringLiteral("Return")}), 0);
        QTRY_COMPARE_WITH_TIMEOUT(server->requests("/api/chat").size(), 1, 15000);
        QCOMPARE(lastChatMessages()[0].toObject()["content"].toString(),
                 QStringLiteral("Make the quick brown fox sound cheerful."));
        QTRY_VERIFY_WITH_TIMEOUT(windowVisible(QStringLiteral("Tone")), 15000);
    }

    void aServerErrorShowsTheFailurePanel()
    {
        server->setRoute("/api/chat", HttpRoute::reply(500, R"({"error":"model crashed"})"));
        runSlot(explainSlot);
        QTRY_VERIFY_WITH_TIMEOUT(windowVisible(QStringLiteral("Explain")), 15000);
        QVERIFY(agent->waitForLog(
            QStringLiteral("Explain failed: The provider had a server error (HTTP 500). model crashed")));
        QTest::qWait(300); // the panel has faded in
        saveScreenshot(QStringLiteral("airoad-failure-panel.png"));
        QCOMPARE(server->requests("/api/chat").size(), 1);
        QCOMPARE(targetText(), selected);
    }

    // Fallback is on and a cloud key is saved, but the user chose the local
    // server: its failure is told, and the text goes nowhere else.
    void aStoppedOllamaFailsWithItsOwnMessageAndNothingGoesToTheCloud()
    {
        const QString address = server->url(QString()).toString();
        server.reset();
        runSlot(explainSlot);
        QVERIFY(agent->waitForLog(QStringLiteral("Explain failed: No server at ") + address
                                  + QStringLiteral(". Start Ollama and try again."), 15000));
        QTRY_VERIFY_WITH_TIMEOUT(windowVisible(QStringLiteral("Explain")), 15000);
        QVERIFY(cloud.requests().isEmpty());
        QCOMPARE(targetText(), selected);

        // An item that needs a strong model is the user's choice of the cloud.
        selectInTarget();
        runSlot(proofreadSlot);
        QTRY_VERIFY_WITH_TIMEOUT(windowVisible(QStringLiteral("Proofread")), 15000);
        QCOMPARE(cloud.requests().size(), 1);
        QCOMPARE(cloud.requests().first().header("x-api-key"), anthropicKey);
        QCOMPARE(cloud.requests().first().json()["messages"].toArray()[0].toObject()["content"].toString(), selected);
    }

    void aRunawayAnswerLeavesTheSelectionAndTheMemoryAlone()
    {
        server->setRoute("/api/chat", HttpRoute::streaming(200, 300LL * 1024 * 1024));
        runSlot(rewriteSlot);
        QVERIFY(agent->waitForLog(QStringLiteral("Rewrite failed: The answer was too large (over 8 MB)."), 30000));
        QTRY_VERIFY_WITH_TIMEOUT(windowVisible(QStringLiteral("Rewrite")), 15000);
        QCOMPARE(targetText(), selected);
        QCOMPARE(readSelection(QStringLiteral("primary")), selected);
        const qint64 peakKB = peakResidentKB(agent->pid());
        QVERIFY2(peakKB > 0 && peakKB < 400 * 1024, qPrintable(QString::number(peakKB)));
    }

    // The window the ring opened over closes while the answer is on its way,
    // and the window manager focuses nothing else: its id stays the active
    // window's. The answer goes to the panel, not into nothing.
    void anAnswerForAClosedWindowGoesToThePanel()
    {
        HttpRoute slow = HttpRoute::reply(200, ollamaAnswer(answer));
        slow.delayMs = 1500;
        server->setRoute("/api/chat", slow);
        command("copy-rich");
        QTRY_COMPARE(readSelection(QStringLiteral("clipboard")), QStringLiteral("copied earlier"));
        target->send("window");
        const QString main = target->waitForLine(QStringLiteral("window ")).mid(7);
        const auto restore = qScopeGuard([&main] { xdotool({QStringLiteral("windowactivate"), main}); });
        {
            SupportProgram closing(QStringLiteral("text_target"), {});
            QVERIFY(closing.waitForLine(QStringLiteral("ready ")).startsWith(QStringLiteral("ready ")));
            QCOMPARE(xdotool({QStringLiteral("windowminimize"), main}), 0);
            text_target::command(closing, "set " + jsonString(selected).toUtf8());
            text_target::command(closing, "activate");
            QTRY_COMPARE(activeWindowPid(), closing.pid());
            QCOMPARE(xdotool({QStringLiteral("key"), QStringLiteral("--clearmodifiers"), QStringLiteral("ctrl+a")}),
                     0);
            QTRY_COMPARE(readSelection(QStringLiteral("primary")), selected);
            runSlot(rewriteSlot);
            QTRY_COMPARE_WITH_TIMEOUT(server->requests("/api/chat").size(), 1, 15000);
        }
        QVERIFY(agent->waitForLog(QStringLiteral("Replace failed, falling back to popover: The text_target window you "
                                                 "started from was closed, so Tavelon didn't paste."),
                                  15000));
        QTRY_VERIFY_WITH_TIMEOUT(windowVisible(QStringLiteral("Rewrite")), 15000);
        QTRY_COMPARE(readSelection(QStringLiteral("clipboard")), QStringLiteral("copied earlier"));
    }
};

QTEST_MAIN(TestAIRoadEndToEnd)
#include "e2e_airoad.moc"
