// The AI road of the real agent on a private X server: text selected in
// another application, the ring, and a local server that answers like Ollama.
#include "AgentHome.h"
#include "AgentProcess.h"
#include "RingGestures.h"
#include "SupportProgram.h"
#include "TextTargetClient.h"
#include "http/LoopbackHttpServer.h"

#include "model/VimaConfig.h"
#include "store/ConfigStore.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTest>
#include <memory>

using namespace vima;
using namespace ring_gestures;

namespace {

const QString selected = QStringLiteral("the quick brown fox");
const QString answer = QStringLiteral("A swift auburn fox.");

enum Slot { rewriteSlot = 0, summarizeSlot = 2, toneSlot = 4, explainSlot = 6 };

RingItem aiSlot(int slot, const QString &title, const QString &prompt, ResultHandling handling)
{
    AIPayload payload;
    payload.systemPrompt = prompt;
    payload.resultHandling = handling;
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
    };
    config.rings = {page};
    config.ai.provider = LLMProviderKind::ollama;
    config.ai.model = QStringLiteral("llama3.2");
    config.ai.ollamaBaseURL = server.toString();
    config.ai.autoFallback = false;
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

QString jsonString(const QString &text)
{
    const QByteArray array = QJsonDocument(QJsonArray{text}).toJson(QJsonDocument::Compact);
    return QString::fromUtf8(array.mid(1, array.size() - 2));
}

} // namespace

class TestAIRoadEndToEnd : public QObject {
    Q_OBJECT

    std::unique_ptr<LoopbackHttpServer> server;
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

    QJsonArray lastChatMessages() const
    {
        return server->requests("/api/chat").last().json()["messages"].toArray();
    }

private Q_SLOTS:
    void initTestCase()
    {
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

    void aServerErrorWithoutFallbackShowsTheFailurePanel()
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
};

QTEST_MAIN(TestAIRoadEndToEnd)
#include "e2e_airoad.moc"
