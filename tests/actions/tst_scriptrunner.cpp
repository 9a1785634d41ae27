#include "TestDoubles.h"
#include "actions/ActionError.h"
#include "actions/ProcessGroup.h"
#include "actions/ScriptRunner.h"
#include "async/Cancelled.h"
#include "async/FakeScheduler.h"
#include "platform/PlatformError.h"
#include "platform/fake/FakeAppleScriptEngine.h"
#include "platform/fake/FakeApplicationCatalog.h"
#include "platform/fake/FakeApplicationLauncher.h"
#include "platform/fake/FakeDesktopOpener.h"

#include <QCoroTask>
#include <QDir>
#include <QFile>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

using namespace vima;

namespace {

template<typename Error, typename Work>
QString failureOf(Work work)
{
    try {
        work();
    } catch (const Error &e) {
        return e.description();
    }
    return QStringLiteral("<no failure>");
}

// Scripts that leave work behind when only their shell is stopped; `%1` is a
// folder of their own. The shell writes its pid, the group's id, to "pid".
void addStubbornScripts()
{
    QTest::addColumn<QString>("script");
    QTest::addColumn<bool>("ignoresTerm");
    QTest::newRow("a forked child") << "sleep 100 & sleep 100" << false;
    QTest::newRow("endless output") << "yes" << false;
    QTest::newRow("TERM ignored") << "trap '' TERM; sleep 100 & sleep 100" << true;
    // Ends by itself once nobody reads its output any more.
    QTest::newRow("writer ignoring TERM and broken pipes")
        << "trap '' TERM PIPE; while echo y; do :; done; touch '%1/unread'; sleep 100" << true;
}

QString withPidFile(const QString &script, const QString &folder)
{
    return QStringLiteral("echo $$ > '%1/pid'\n").arg(folder) + QString(script).replace(QStringLiteral("%1"), folder);
}

} // namespace

class TestScriptRunner : public QObject {
    Q_OBJECT

    FakeApplicationCatalog catalog;
    FakeApplicationLauncher launcher;
    FakeDesktopOpener opener;
    FakeAppleScriptEngine appleScript;
    ScriptRunner runner{catalog, launcher, opener, appleScript};

    QString shell(const QString &script, const QString &shellPath = QStringLiteral("/bin/sh"))
    {
        return test::await(runner.runShell(script, shellPath));
    }

private Q_SLOTS:
    void init()
    {
        launcher = {};
        opener = {};
        appleScript = {};
        catalog = FakeApplicationCatalog();
    }

    void shellOutputAndFailures_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("output");
        QTest::addColumn<QString>("failure");
        QTest::newRow("output kept untrimmed") << "\n\n  printf ' hi\\n'  \n" << " hi\n" << "";
        QTest::newRow("stderr is merged") << "echo out; echo err >&2" << "out\nerr\n" << "";
        QTest::newRow("status 3 with a line on stderr") << "echo 'it broke' >&2; exit 3" << "" << "it broke";
        QTest::newRow("status 3 without output") << "exit 3" << "" << "Exited with status 3.";
        QTest::newRow("invalid UTF-8 decoded lossily") << "printf 'caf\\351 ok'" << "caf\uFFFD ok" << "";
        QTest::newRow("standard input is empty") << "cat; echo end" << "end\n" << "";
    }

    void shellOutputAndFailures()
    {
        QFETCH(QString, script);
        QFETCH(QString, output);
        QFETCH(QString, failure);
        if (failure.isEmpty())
            QCOMPARE(shell(script), output);
        else
            QCOMPARE(failureOf<ActionError>([&] { shell(script); }), failure);
    }

    void shellGetsLoginArgumentsAndTheTrimmedScript()
    {
        QTemporaryDir dir;
        const QString fakeShell = dir.filePath(QStringLiteral("argshell"));
        QFile file(fakeShell);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("#!/bin/sh\nprintf '%s|' \"$@\"\n");
        file.close();
        file.setPermissions(file.permissions() | QFile::ExeOwner);
        QCOMPARE(shell(QStringLiteral("\n\n echo a\necho b \n\n"), fakeShell), QStringLiteral("-l|-c|echo a\necho b|"));
    }

    void emptyScriptIsRefused()
    {
        QCOMPARE(failureOf<ActionError>([&] { shell(QStringLiteral(" \n\t ")); }),
                 QStringLiteral("This item has no shell script configured."));
    }

    void missingShells_data()
    {
        QTest::addColumn<QString>("named");
        QTest::addColumn<QByteArray>("loginShell");
        QTest::addColumn<QString>("runs"); // empty: "Shell not found"
        const bool zsh = QFileInfo(QStringLiteral("/bin/zsh")).isExecutable();
        QTest::newRow("default, login shell") << "" << QByteArray("/bin/sh")
                                              << (zsh ? "/bin/zsh" : "/bin/sh");
        QTest::newRow("default by name, login shell missing")
            << "/bin/zsh" << QByteArray("/no/such/shell") << (zsh ? "/bin/zsh" : "/bin/sh");
        QTest::newRow("another shell") << "/no/such/fish" << QByteArray("/bin/sh") << "";
        QTest::newRow("another zsh") << "/opt/no/zsh" << QByteArray("/bin/sh") << "";
    }

    void missingShells()
    {
        QFETCH(QString, named);
        QFETCH(QByteArray, loginShell);
        QFETCH(QString, runs);
        const QByteArray saved = qgetenv("SHELL");
        const auto restore = qScopeGuard([&] { qputenv("SHELL", saved); });
        qputenv("SHELL", loginShell);
        QCOMPARE(ScriptRunner::resolveShell(named), runs.isEmpty() ? std::nullopt : std::optional(runs));
        if (runs.isEmpty()) {
            QCOMPARE(failureOf<ActionError>([&] { shell(QStringLiteral("echo fine"), named); }),
                     QStringLiteral("Shell not found or not executable: ") + named);
        } else {
            QCOMPARE(shell(QStringLiteral("echo fine"), named), QStringLiteral("fine\n"));
        }
    }

    void aRunawayOutputIsCutForThePanel()
    {
        const QString output = shell(QStringLiteral("head -c 1000000 /dev/zero | tr '\\0' x; exit 0"));
        QVERIFY2(output.size() < 256 * 1024 + 100, qPrintable(QString::number(output.size())));
        QVERIFY(output.startsWith(QString(256 * 1024, u'x') + QStringLiteral("\n… ")));
        QVERIFY(output.endsWith(QStringLiteral(" more output not shown.")));
    }

    void backgroundChildDoesNotHoldTheRun()
    {
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(shell(QStringLiteral("sleep 20 & echo started")), QStringLiteral("started\n"));
        QVERIFY2(clock.elapsed() < 15000, "waited for the background child");
    }

    void cancellingEndsEverythingTheScriptStarted_data() { addStubbornScripts(); }

    void cancellingEndsEverythingTheScriptStarted()
    {
        QFETCH(QString, script);
        QFETCH(bool, ignoresTerm);
        QTemporaryDir dir;
        FakeScheduler scheduler;
        ScriptRunner stopping(catalog, launcher, opener, appleScript, scheduler);
        CancellationToken token;
        const auto run = test::start(stopping.runShell(withPidFile(script, dir.path()), QStringLiteral("/bin/sh"), token));
        QTRY_VERIFY(test::numberIn(dir.filePath(QStringLiteral("pid"))) > 0);
        const qint64 group = test::numberIn(dir.filePath(QStringLiteral("pid")));
        QVERIFY(test::livingProcessesOfGroup(group) > 0);

        token.cancel();
        if (ignoresTerm) {
            if (script.contains(QLatin1String("unread")))
                QTRY_VERIFY(QFileInfo::exists(dir.filePath(QStringLiteral("unread"))));
            QVERIFY(test::livingProcessesOfGroup(group) > 0);
            scheduler.advance(ProcessGroup::grace);
        }
        QTRY_COMPARE(test::livingProcessesOfGroup(group), 0);
        QTRY_VERIFY(run->done);
        QVERIFY(run->threw<Cancelled>());
    }

    void quittingEndsARunningScript_data() { addStubbornScripts(); }

    void quittingEndsARunningScript()
    {
        QFETCH(QString, script);
        QTemporaryDir dir;
        auto quitting = std::make_unique<ScriptRunner>(catalog, launcher, opener, appleScript);
        const auto run = test::start(quitting->runShell(withPidFile(script, dir.path()), QStringLiteral("/bin/sh")));
        QTRY_VERIFY(test::numberIn(dir.filePath(QStringLiteral("pid"))) > 0);
        const qint64 group = test::numberIn(dir.filePath(QStringLiteral("pid")));
        // No event loop runs after this: the runner goes with the application.
        quitting.reset();
        QTRY_COMPARE(test::livingProcessesOfGroup(group), 0);
        QVERIFY(!run->done);
    }

    void openResolvesTargets_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<QUrl>("opened");
        QTest::addColumn<QString>("failure");
        const QString home = QDir::homePath();
        QTest::newRow("tilde path with spaces around")
            << "  ~  " << QUrl::fromLocalFile(home) << "";
        QTest::newRow("absolute path") << "/tmp" << QUrl::fromLocalFile(QStringLiteral("/tmp")) << "";
        QTest::newRow("URL") << "https://example.org/a?b=1" << QUrl(QStringLiteral("https://example.org/a?b=1")) << "";
        QTest::newRow("mailto") << "mailto:someone@example.org" << QUrl(QStringLiteral("mailto:someone@example.org")) << "";
        QTest::newRow("nonsense word") << "nonsense" << QUrl() << "“nonsense” isn't a valid URL or path.";
        QTest::newRow("missing path") << "~/no/such/file" << QUrl()
                                      << QStringLiteral("Nothing at %1/no/such/file.").arg(home);
        QTest::newRow("empty") << "   " << QUrl() << "This item has no target configured.";
    }

    void openResolvesTargets()
    {
        QFETCH(QString, target);
        QFETCH(QUrl, opened);
        QFETCH(QString, failure);
        if (failure.isEmpty()) {
            test::await(runner.open(target));
            QCOMPARE(opener.opened, QList<QUrl>{opened});
        } else {
            QCOMPARE(failureOf<ActionError>([&] { test::await(runner.open(target)); }), failure);
            QVERIFY(opener.opened.isEmpty());
        }
    }

    void openReportsWhenNothingCouldOpenIt()
    {
        opener.failure = QStringLiteral("No application could open it.");
        QCOMPARE(failureOf<PlatformError>([&] { test::await(runner.open(QStringLiteral("/tmp"))); }),
                 opener.failure);
    }

    void launchChoosesTheApplication()
    {
        QTemporaryDir dir;
        DesktopApp editor;
        editor.bundleID = QStringLiteral("org.example.Editor");
        catalog.install(editor);

        test::await(runner.launchApp(editor.bundleID, dir.path()));
        QCOMPARE(launcher.launched, QList<DesktopApp>{editor});
        QVERIFY(launcher.launchedPaths.isEmpty());

        QCOMPARE(failureOf<ActionError>([&] {
                     test::await(runner.launchApp(QStringLiteral("org.example.Missing"), dir.path()));
                 }),
                 QStringLiteral("No installed app with desktop ID “org.example.Missing”."));

        test::await(runner.launchApp(QString(), dir.path()));
        QCOMPARE(launcher.launchedPaths, QStringList{dir.path()});

        QCOMPARE(failureOf<ActionError>([&] {
                     test::await(runner.launchApp(std::nullopt, dir.filePath(QStringLiteral("gone"))));
                 }),
                 QStringLiteral("Nothing at %1.").arg(dir.filePath(QStringLiteral("gone"))));
        QCOMPARE(failureOf<ActionError>([&] { test::await(runner.launchApp(QString(), QString())); }),
                 QStringLiteral("This item has no app configured."));
    }

    void launchFailurePassesThrough()
    {
        launcher.failure = QStringLiteral("Could not start Editor.");
        DesktopApp ed;
        ed.bundleID = QStringLiteral("ed");
        catalog.install(ed);
        QCOMPARE(failureOf<PlatformError>([&] { test::await(runner.launchApp(QStringLiteral("ed"), {})); }),
                 launcher.failure);
    }

    void appleScriptResults_data()
    {
        using Status = AppleScriptEngine::Result::Status;
        QTest::addColumn<QString>("source");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        QTest::newRow("empty") << "  \n" << int(Status::succeeded) << "" << "This item has no AppleScript configured.";
        QTest::newRow("result") << " return 1 " << int(Status::succeeded) << "1" << "1";
        QTest::newRow("not compiled") << "x" << int(Status::notCompiled) << "" << "Could not compile the script.";
        QTest::newRow("failed with message") << "x" << int(Status::failed) << "AppleScript isn't available on this system."
                                             << "AppleScript isn't available on this system.";
        QTest::newRow("failed without message") << "x" << int(Status::failed) << "" << "Unknown script error.";
    }

    void appleScriptResults()
    {
        QFETCH(QString, source);
        QFETCH(int, status);
        QFETCH(QString, text);
        QFETCH(QString, expected);
        appleScript.result = {AppleScriptEngine::Result::Status(status), text};
        QString got;
        try {
            got = runner.runAppleScript(source);
        } catch (const ActionError &e) {
            got = e.description();
        }
        QCOMPARE(got, expected);
        if (!appleScript.sources.isEmpty())
            QCOMPARE(appleScript.sources.first(), source.trimmed());
    }
};

QTEST_GUILESS_MAIN(TestScriptRunner)
#include "tst_scriptrunner.moc"
