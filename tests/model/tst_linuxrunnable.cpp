// Every slot Tavelon makes by itself (the library, the templates, the default
// rings and the per-app suggestions) can run on Linux.
#include "model/ActionPreset.h"
#include "model/AppSuggestions.h"
#include "model/DefaultRings.h"
#include "model/KeyCodes.h"
#include "model/Keystroke.h"
#include "model/RingTemplate.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace vima;

Q_DECLARE_METATYPE(RingItem)

namespace {

struct Slot {
    QString where;
    RingItem item;
};

QList<Slot> everyMadeSlot()
{
    QList<Slot> slots;
    for (const ActionPreset &preset : ActionPreset::all())
        slots.append({QStringLiteral("library ") + preset.id, preset.makeItem(0, QStringLiteral("Spanish"))});
    for (const RingTemplate &entry : RingTemplate::all()) {
        for (const Ring &ring : entry.makeRings(24, QStringLiteral("Spanish"))) {
            for (const RingItem &item : ring.items)
                slots.append({entry.id + u' ' + ring.name + u' ' + item.title, item});
        }
    }
    for (const QString &browser : knownBrowserIDs()) {
        for (const Ring &ring : defaultContextRings(QStringLiteral("Spanish"), browser)) {
            for (const RingItem &item : ring.items)
                slots.append({QStringLiteral("default ring ") + browser + u' ' + item.title, item});
        }
    }
    for (const QString &app : knownBrowserIDs()
             + QStringList{"org.gnome.Nautilus", "org.kde.dolphin", "thunar", "nemo", "pcmanfm"}) {
        for (const RingItem &item : suggestedAppActions(app, knownAppName(app), QStringLiteral("Spanish")))
            slots.append({QStringLiteral("suggestion ") + app + u' ' + item.title, item});
    }
    return slots;
}

// The tools a script checks for with `command -v`, in the order it checks them.
QStringList checkedTools(const QString &script)
{
    static const QRegularExpression check(QStringLiteral("command -v ([A-Za-z0-9._+-]+)"));
    QStringList tools;
    for (auto matches = check.globalMatch(script); matches.hasNext();) {
        const QString tool = matches.next().captured(1);
        if (!tools.contains(tool))
            tools.append(tool);
    }
    return tools;
}

// A PATH that holds the POSIX utilities every Linux has, plus stand-ins for
// `tools` that do nothing and succeed.
class Sandbox {
public:
    explicit Sandbox(const QStringList &tools)
    {
        QDir().mkpath(bin());
        QDir().mkpath(home());
        for (const char *utility : {"mktemp", "rm", "mkdir", "date", "sed", "cut", "grep"})
            QFile::link(QStandardPaths::findExecutable(QString::fromLatin1(utility)), bin() + u'/' + utility);
        // Stand-ins too, so that no test waits for a second.
        for (const QString &tool : tools + QStringList{QStringLiteral("sleep")}) {
            QFile stub(bin() + u'/' + tool);
            stub.open(QIODevice::WriteOnly);
            stub.write("#!/bin/sh\nexit 0\n");
            stub.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        }
    }

    // The exit code and everything printed.
    std::pair<int, QString> run(const QString &script) const
    {
        QProcess shell;
        QProcessEnvironment environment;
        environment.insert(QStringLiteral("PATH"), bin());
        environment.insert(QStringLiteral("HOME"), home());
        environment.insert(QStringLiteral("KDE_FULL_SESSION"), QStringLiteral("true"));
        shell.setProcessEnvironment(environment);
        shell.setProcessChannelMode(QProcess::MergedChannels);
        shell.start(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), script});
        shell.waitForFinished(10000);
        return {shell.exitCode(), QString::fromUtf8(shell.readAll())};
    }

private:
    QString bin() const { return dir_.filePath(QStringLiteral("bin")); }
    QString home() const { return dir_.filePath(QStringLiteral("home")); }

    QTemporaryDir dir_;
};

bool isLinuxID(const QString &id)
{
    static const QRegularExpression desktopID(QStringLiteral("^[A-Za-z0-9_-]+(\\.[A-Za-z0-9_-]+)*$"));
    return desktopID.match(id).hasMatch() && !id.startsWith(QLatin1String("com.apple."));
}

} // namespace

class TestLinuxRunnable : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void everyMadeSlotRunsHere_data()
    {
        QTest::addColumn<RingItem>("item");
        for (const Slot &slot : everyMadeSlot())
            QTest::newRow(qPrintable(slot.where)) << slot.item;
    }

    void everyMadeSlotRunsHere()
    {
        QFETCH(RingItem, item);
        const auto &payload = item.action.payload;
        if (const auto *launch = std::get_if<LaunchAppPayload>(&payload)) {
            QVERIFY(launch->bundleID && isLinuxID(*launch->bundleID));
            QVERIFY(!launch->path);
        } else if (const auto *open = std::get_if<OpenPayload>(&payload)) {
            QVERIFY(open->target.startsWith(u'~') || open->target.startsWith(u'/'));
            QVERIFY(!open->target.contains(QLatin1String("/Applications")));
        } else if (const auto *script = std::get_if<AppleScriptPayload>(&payload)) {
            // Only the keystroke form runs without AppleScript, and by desktop id.
            const auto keystroke = Keystroke::parse(script->source);
            QVERIFY(keystroke);
            QVERIFY(!keystroke->byName);
            QVERIFY(isLinuxID(keystroke->application));
            QVERIFY(!(keystroke->chord.modifierFlags & modifiers::command));
        } else if (const auto *shell = std::get_if<ShellPayload>(&payload)) {
            QCOMPARE(shell->shell, QStringLiteral("/bin/sh"));
            QCOMPARE(QProcess::execute(QStringLiteral("/bin/sh"), {QStringLiteral("-n"), QStringLiteral("-c"), shell->script}),
                     0);
        }
    }

    void shellActionsUseOnlyWhatTheyCheckFor_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("script");
        for (const ActionPreset &preset : ActionPreset::all()) {
            if (const auto *shell = std::get_if<ShellPayload>(&preset.action.payload))
                QTest::newRow(qPrintable(preset.id)) << preset.title << shell->script;
        }
    }

    void shellActionsUseOnlyWhatTheyCheckFor()
    {
        QFETCH(QString, title);
        QFETCH(QString, script);
        // Take the tools away one by one, in the order the script prefers
        // them: each branch in turn runs, and none calls a tool it didn't check.
        const QStringList tools = checkedTools(script);
        QVERIFY(!tools.isEmpty());
        for (qsizetype first = 0; first < tools.size(); ++first) {
            const auto [code, output] = Sandbox(tools.mid(first)).run(script);
            QVERIFY2(!output.contains(QLatin1String("not found")), qPrintable(output));
            // Either a branch ran to its end, or the script said what it lacks.
            QVERIFY2(code == 0 || output.startsWith(title + QStringLiteral(" needs ")),
                     qPrintable(tools.mid(first).join(u' ') + QStringLiteral(": ") + output));
        }
        // With none of them, it fails and says what to install.
        const auto [code, output] = Sandbox({}).run(script);
        QVERIFY(code != 0);
        QVERIFY2(output.startsWith(title + QStringLiteral(" needs ")) && output.contains(QLatin1String("install")),
                 qPrintable(output));
    }
};

QTEST_GUILESS_MAIN(TestLinuxRunnable)
#include "tst_linuxrunnable.moc"
