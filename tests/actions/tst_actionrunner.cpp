#include "TestDoubles.h"
#include "actions/ActionRunner.h"
#include "actions/ActionError.h"
#include "actions/PanelText.h"
#include "actions/SelectionError.h"
#include "ai/LLMError.h"
#include "async/FakeScheduler.h"
#include "async/Sleep.h"
#include "model/LogText.h"
#include "model/Text.h"
#include "platform/fake/FakeAppleScriptEngine.h"
#include "platform/fake/FakeApplicationCatalog.h"
#include "platform/fake/FakeApplicationLauncher.h"
#include "platform/KeychainError.h"
#include "platform/PlatformError.h"
#include "platform/fake/FakeDesktopOpener.h"
#include "store/ConfigError.h"

#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <stdexcept>

using namespace vima;

Q_DECLARE_METATYPE(std::exception_ptr)

namespace {

const RunningApplication editor{4242, QStringLiteral("org.example.Editor"), QStringLiteral("Editor")};
const QString none = QStringLiteral("<none>");

ActionOutcome answer(const QString &title)
{
    ActionOutcome outcome;
    outcome.title = title;
    outcome.body = QStringLiteral("answer");
    return outcome;
}

RingItem aiItem(const QString &title, const QString &prompt = {})
{
    AIPayload payload;
    payload.systemPrompt = prompt;
    return test::item(title, {payload});
}

} // namespace

class TestActionRunner : public QObject {
    Q_OBJECT

    FakeApplicationCatalog catalog;
    FakeApplicationLauncher launcher;
    FakeDesktopOpener opener;
    FakeAppleScriptEngine appleScript;
    ScriptRunner scripts{catalog, launcher, opener, appleScript};
    FakeScheduler scheduler;
    std::unique_ptr<ActionRunner> runner;
    QList<ActionOutcome> outcomes;
    // Busy texts and presented titles, in the order they happened.
    QStringList events;

    void run(const RingItem &item, const ActionRunner::Target &target = editor) { runner->run(item, target); }

private Q_SLOTS:
    void init()
    {
        outcomes.clear();
        events.clear();
        appleScript = {};
        opener = {};
        runner = std::make_unique<ActionRunner>(scripts);
        runner->present = [this](const ActionOutcome &outcome) {
            outcomes.append(outcome);
            events.append(QStringLiteral("present ") + outcome.title);
        };
        connect(runner.get(), &ActionRunner::busyMessageChanged, this,
                [this](const std::optional<QString> &text) { events.append(text.value_or(none)); });
    }

    void shellOutputIsPresentedBeforeTheBusyTextGoes()
    {
        run(test::shellItem(QStringLiteral("Greet"), QStringLiteral("echo '  hello  '")));
        QCOMPARE(runner->busyMessage(), QStringLiteral("Running Greet…"));
        QTRY_COMPARE(outcomes.size(), 1);
        QCOMPARE(events, (QStringList{QStringLiteral("Running Greet…"), QStringLiteral("present Greet"), none}));
        const ActionOutcome &outcome = outcomes.first();
        QCOMPARE(outcome.body, QStringLiteral("hello"));
        QCOMPARE(outcome.style, ActionOutcome::Style::success);
        QCOMPARE(outcome.replaceTarget, editor);
        QVERIFY(!outcome.recovery && !outcome.recoveryAction && !outcome.isAI);
    }

    void blankOutputShowsThePlaceholder()
    {
        run(test::shellItem(QStringLiteral("Blank"), QStringLiteral("printf '\\n  \\n\\n'")));
        QTRY_COMPARE(outcomes.size(), 1);
        QCOMPARE(outcomes.first().body, QStringLiteral("(no output)"));
    }

    void hiddenOutputShowsNothing()
    {
        run(test::shellItem(QStringLiteral("Quiet"), QStringLiteral("echo hi"), false));
        QTRY_COMPARE(runner->busyMessage(), std::nullopt);
        QVERIFY(outcomes.isEmpty());
    }

    void failuresBecomeFailureOutcomes_data()
    {
        QTest::addColumn<RingItem>("item");
        QTest::addColumn<QString>("body");
        QTest::addColumn<QStringList>("busy");
        const QString shellBusy = QStringLiteral("Running Fail…");
        QTest::newRow("shell exit status")
            << test::shellItem(QStringLiteral("Fail"), QStringLiteral("echo 'it broke' >&2; exit 3"))
            << "it broke" << QStringList{shellBusy, none};
        QTest::newRow("empty launch")
            << test::item(QStringLiteral("Fail"), {LaunchAppPayload{}}) << "This item has no app configured."
            << QStringList{};
        QTest::newRow("open nonsense")
            << test::item(QStringLiteral("Fail"), {OpenPayload{QStringLiteral("nonsense")}})
            << "“nonsense” isn't a valid URL or path." << QStringList{};
        QTest::newRow("AppleScript on Linux")
            << test::item(QStringLiteral("Fail"), {AppleScriptPayload{QStringLiteral("beep"), true}})
            << "AppleScript isn't available on this system." << QStringList{shellBusy, none};
        QTest::newRow("a folder without a file manager")
            << test::item(QStringLiteral("Fail"), {OpenPayload{QStringLiteral("~")}})
            << "Fail needs a file manager: install nautilus, thunar, pcmanfm or dolphin." << QStringList{};
        QTest::newRow("AI without its road")
            << aiItem(QStringLiteral("Fail")) << "AI actions aren't available in this build."
            << QStringList{};
    }

    void failuresBecomeFailureOutcomes()
    {
        QFETCH(RingItem, item);
        QFETCH(QString, body);
        QFETCH(QStringList, busy);
        appleScript.result = {AppleScriptEngine::Result::Status::failed,
                              QStringLiteral("AppleScript isn't available on this system.")};
        opener.noFileManager = true;
        QTest::ignoreMessage(QtCriticalMsg, QRegularExpression(QStringLiteral("failed")));
        run(item);
        QTRY_COMPARE(outcomes.size(), 1);
        const ActionOutcome &outcome = outcomes.first();
        QCOMPARE(outcome.title, QStringLiteral("Fail"));
        QCOMPARE(outcome.body, body);
        QCOMPARE(outcome.style, ActionOutcome::Style::failure);
        QVERIFY(!outcome.replaceTarget && !outcome.recovery && !outcome.recoveryAction && !outcome.isAI);
        busy.append(QStringLiteral("present Fail"));
        QCOMPARE(events, busy);
    }

    void everyErrorOfOursIsToldInItsOwnWords_data()
    {
        QTest::addColumn<std::exception_ptr>("error");
        QTest::addColumn<QString>("body");
        QTest::addColumn<std::optional<QString>>("recovery");
        const auto row = [](const char *name, const UserError &error, std::exception_ptr thrown) {
            QTest::newRow(name) << thrown << error.description() << error.recoverySuggestion();
        };
        const ConfigError config = ConfigError::futureVersion(9);
        row("configuration", config, std::make_exception_ptr(config));
        const KeychainError keychain(7, QStringLiteral("The keyring is locked."));
        row("keychain", keychain, std::make_exception_ptr(keychain));
        const LLMError llm = LLMError::timedOut();
        row("AI", llm, std::make_exception_ptr(llm));
        const PlatformError platform(QStringLiteral("The clipboard isn't responding."));
        row("desktop", platform, std::make_exception_ptr(platform));
        QTest::newRow("anything else") << std::make_exception_ptr(std::runtime_error("disk on fire"))
                                       << "disk on fire" << std::optional<QString>();
    }

    void everyErrorOfOursIsToldInItsOwnWords()
    {
        QFETCH(std::exception_ptr, error);
        QFETCH(QString, body);
        QFETCH(std::optional<QString>, recovery);
        QTest::ignoreMessage(QtCriticalMsg, QRegularExpression(QStringLiteral("^Item failed: ")));
        const ActionOutcome outcome = runner->failureOutcome(error, QStringLiteral("Item"));
        QCOMPARE(outcome.body, body);
        QCOMPARE(outcome.recovery, recovery);
        QVERIFY(!body.isEmpty() && body != QLatin1String("config error"));
    }

    // The log cuts a long title as the panel does, and shows what a server or
    // a title may hold for the terminal as escapes, as the agent's log does.
    void failureLogLine_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QByteArray>("message");
        QTest::addColumn<QString>("line");
        const QString title(32'767, u'W');
        QTest::newRow("long title") << title << QByteArray("disk on fire")
                                    << Text::cut(title, PanelText::longestTitle) + " failed: disk on fire";
        QTest::newRow("terminal controls") << QStringLiteral("Fix\u202Egnp.exe")
                                           << QByteArray("\x1b]0;owned\x07\x1b[2J\rok\xc2\x9b" "31m")
                                           << R"(Fix\u{202e}gnp.exe failed: \e]0;owned\a\e[2J\rok\x9b31m)";
    }

    void failureLogLine()
    {
        QFETCH(QString, title);
        QFETCH(QByteArray, message);
        QFETCH(QString, line);
        LogText::install();
        QTest::ignoreMessage(QtCriticalMsg, qPrintable(line));
        runner->failureOutcome(std::make_exception_ptr(std::runtime_error(message.toStdString())), title);
    }

    void appleScriptResultIsPresented_data()
    {
        QTest::addColumn<QString>("result");
        QTest::addColumn<QString>("body");
        QTest::newRow("text") << " 42\n" << "42";
        QTest::newRow("no text form") << "" << "(no result)";
    }

    void appleScriptResultIsPresented()
    {
        QFETCH(QString, result);
        QFETCH(QString, body);
        appleScript.result = {AppleScriptEngine::Result::Status::succeeded, result};
        run(test::item(QStringLiteral("Script"), {AppleScriptPayload{QStringLiteral("return 42"), true}}));
        QTRY_COMPARE(outcomes.size(), 1);
        QCOMPARE(outcomes.first().body, body);
        QCOMPARE(runner->busyMessage(), std::nullopt);
    }

    void launchAndOpenShowNothingOnSuccess()
    {
        DesktopApp app;
        app.bundleID = editor.bundleID;
        catalog.install(app);
        run(test::item(QStringLiteral("Launch"), {LaunchAppPayload{editor.bundleID, std::nullopt}}));
        run(test::item(QStringLiteral("Open"), {OpenPayload{QStringLiteral("https://example.org")}}));
        QTRY_COMPARE(opener.opened.size(), 1);
        QCOMPARE(launcher.launched.size(), 1);
        QVERIFY(outcomes.isEmpty());
        QVERIFY(events.isEmpty());
    }

    void openRingOnlyLogs()
    {
        QTest::ignoreMessage(QtCriticalMsg,
                             "openRing reached ActionRunner; navigation should be handled by the ring");
        run(test::item(QStringLiteral("Pack"), {OpenRingPayload{QUuid::createUuid()}}));
        QCoreApplication::processEvents();
        QVERIFY(outcomes.isEmpty());
        QVERIFY(events.isEmpty());
    }

    void cancelledRunSaysNothing()
    {
        bool ended = false;
        runner->runAI = [&](const ActionRun &run, AIPayload, RingItem, ActionRunner::Target) -> QCoro::Task<void> {
            const BusyText busy(run, QStringLiteral("Reading selection…"));
            auto finally = qScopeGuard([&] { ended = true; });
            co_await sleep(5, run.token(), scheduler);
            run.present(answer(QStringLiteral("never")));
        };
        run(aiItem(QStringLiteral("AI")));
        QCOMPARE(runner->busyMessage(), QStringLiteral("Reading selection…"));
        runner->cancel();
        QCOMPARE(runner->busyMessage(), std::nullopt);
        QVERIFY(ended);
        scheduler.runAll();
        QVERIFY(outcomes.isEmpty());
        QCOMPARE(events, (QStringList{QStringLiteral("Reading selection…"), none}));
    }

    void supersededRunSaysNothing()
    {
        runner->runAI = [&](const ActionRun &run, AIPayload payload, RingItem item,
                            ActionRunner::Target) -> QCoro::Task<void> {
            const BusyText busy(run, item.title + QStringLiteral("…"));
            // Not interrupted by cancellation: it carries on after being replaced.
            co_await settle(payload.systemPrompt.toDouble(), scheduler);
            run.present(answer(item.title));
            throw ActionError::scriptFailed(QStringLiteral("late failure"));
        };
        run(aiItem(QStringLiteral("First"), QStringLiteral("2")));
        run(aiItem(QStringLiteral("Second"), QStringLiteral("1")));
        QTest::ignoreMessage(QtCriticalMsg, "Second failed: late failure");
        scheduler.advance(1);
        QCOMPARE(runner->busyMessage(), std::nullopt);
        scheduler.advance(1); // the first run ends now, after the second
        QCOMPARE(outcomes.size(), 2);
        QCOMPARE(outcomes[0].title, QStringLiteral("Second"));
        QCOMPARE(outcomes[1].body, QStringLiteral("late failure"));
        QCOMPARE(events, (QStringList{QStringLiteral("First…"), none, QStringLiteral("Second…"),
                                      QStringLiteral("present Second"), none, QStringLiteral("present Second")}));
    }

    void cancelAndReplacementEndTheScript_data()
    {
        QTest::addColumn<bool>("replaced");
        QTest::newRow("cancelled") << false;
        QTest::newRow("replaced by a new pick") << true;
    }

    void cancelAndReplacementEndTheScript()
    {
        QFETCH(bool, replaced);
        QTemporaryDir dir;
        const QString pid = dir.filePath(QStringLiteral("pid"));
        const QString marker = dir.filePath(QStringLiteral("done"));
        run(test::shellItem(QStringLiteral("Slow"),
                            QStringLiteral("echo $$ > '%1'; sleep 100 & sleep 100; touch '%2'").arg(pid, marker)));
        QTRY_VERIFY(test::numberIn(pid) > 0);
        if (replaced)
            run(test::shellItem(QStringLiteral("Later"), QStringLiteral("echo later")));
        else
            runner->cancel();
        QTRY_COMPARE(test::livingProcessesOfGroup(test::numberIn(pid)), 0);
        QVERIFY(!QFileInfo::exists(marker));
        QTRY_COMPARE(runner->busyMessage(), std::nullopt);
        QCOMPARE(outcomes.size(), replaced ? 1 : 0);
        if (replaced)
            QCOMPARE(outcomes.first().title, QStringLiteral("Later"));
    }

    void selectionFailuresCarryTheirButtons_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("button");
        QTest::newRow("not shared") << int(SelectionError::Kind::selectionNotShared) << "Open Settings";
        QTest::newRow("not permitted") << int(SelectionError::Kind::notPermitted) << "Open Permissions";
        QTest::newRow("nothing selected") << int(SelectionError::Kind::nothingSelected) << "";
        QTest::newRow("capture failed") << int(SelectionError::Kind::captureFailed) << "";
    }

    void selectionFailuresCarryTheirButtons()
    {
        QFETCH(int, kind);
        QFETCH(QString, button);
        const std::optional<QString> name = QStringLiteral("Editor");
        const QList<SelectionError> errors{SelectionError::nothingSelected(name), SelectionError::selectionNotShared(name),
                                           SelectionError::captureFailed(name), SelectionError::notPermitted()};
        const SelectionError error = errors[kind];
        QStringList performed;
        runner->postOpenSettings = [&] { performed.append(QStringLiteral("settings")); };
        runner->openPermissions = [&] { performed.append(QStringLiteral("permissions")); };
        runner->runAI = [&](const ActionRun &, AIPayload, RingItem, ActionRunner::Target) -> QCoro::Task<void> {
            throw error;
            co_return;
        };
        QTest::ignoreMessage(QtCriticalMsg, QRegularExpression(QStringLiteral("^AI failed: ")));
        run(aiItem(QStringLiteral("AI")));
        QTRY_COMPARE(outcomes.size(), 1);
        const ActionOutcome outcome = outcomes.first();
        QCOMPARE(outcome.body, error.description());
        QCOMPARE(outcome.recovery, error.recoverySuggestion());
        QCOMPARE(outcome.recoveryAction.has_value(), !button.isEmpty());
        if (outcome.recoveryAction) {
            QCOMPARE(outcome.recoveryAction->title, button);
            outcome.recoveryAction->perform();
            QCOMPARE(performed.size(), 1);
        }
    }
};

QTEST_GUILESS_MAIN(TestActionRunner)
#include "tst_actionrunner.moc"
