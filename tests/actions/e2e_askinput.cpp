// The ask panel on a real X server: it takes the keyboard from another
// application's window so that typed keys and Return answer the question.
#include "actions/AskInputView.h"
#include "actions/AskInputWindowController.h"

#include <QApplication>
#include <QLineEdit>
#include <QProcess>
#include <QTest>

using namespace vima;

namespace {

struct Asked {
    bool done = false;
    std::optional<QString> answer;
};

QCoro::Task<void> askInto(AskInputWindowController &controller, QString question, Asked &out)
{
    out.answer = co_await controller.ask(std::move(question));
    out.done = true;
}

QString xdotool(const QStringList &arguments)
{
    QProcess process;
    process.start(QStringLiteral("xdotool"), arguments);
    if (!process.waitForFinished(10000) || process.exitCode() != 0)
        return QString();
    return QString::fromUtf8(process.readAllStandardOutput()).trimmed();
}

QString activeWindowName()
{
    return xdotool({QStringLiteral("getactivewindow"), QStringLiteral("getwindowname")});
}

// Another application's window with a text field, holding the keyboard.
int runTarget(int argc, char **argv)
{
    QApplication app(argc, argv);
    QLineEdit field;
    field.setWindowTitle(QStringLiteral("vima-target"));
    field.resize(300, 40);
    field.show();
    field.activateWindow();
    return app.exec();
}

} // namespace

class TestAskInputOnX11 : public QObject {
    Q_OBJECT

    QProcess target_;

private Q_SLOTS:
    void initTestCase()
    {
        target_.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--target")});
        QVERIFY(target_.waitForStarted());
        // A Qt program's start-up, on a machine that may be busy with other tests.
        QTRY_COMPARE_WITH_TIMEOUT(activeWindowName(), QStringLiteral("vima-target"), 30000);
        xdotool({QStringLiteral("mousemove"), QStringLiteral("700"), QStringLiteral("400")});
    }

    void cleanupTestCase()
    {
        target_.kill();
        target_.waitForFinished();
    }

    void typedAnswerAndReturn()
    {
        AskInputWindowController controller;
        Asked asked;
        askInto(controller, QStringLiteral("Which tone?"), asked);
        AskInputView *panel = controller.panel();
        QVERIFY(QTest::qWaitForWindowActive(panel));
        QCOMPARE(QApplication::focusWidget(), panel->field());
        // The window manager may confirm the position a little after the window shows.
        QTRY_VERIFY(qAbs(panel->frameGeometry().center().x() - 700) <= 2);
        QTRY_VERIFY(qAbs(panel->frameGeometry().top() - 424) <= 2);

        xdotool({QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("30"), QStringLiteral("warm words")});
        QTRY_COMPARE(panel->field()->text(), QStringLiteral("warm words"));
        xdotool({QStringLiteral("key"), QStringLiteral("Return")});
        QTRY_VERIFY(asked.done);
        QCOMPARE(asked.answer, std::optional<QString>(QStringLiteral("warm words")));
    }

    void escapeCancels()
    {
        AskInputWindowController controller;
        Asked asked;
        askInto(controller, QStringLiteral("Which tone?"), asked);
        QVERIFY(QTest::qWaitForWindowActive(controller.panel()));
        xdotool({QStringLiteral("key"), QStringLiteral("Escape")});
        QTRY_VERIFY(asked.done);
        QCOMPARE(asked.answer, std::nullopt);
        QVERIFY(!controller.panel());
    }
};

int main(int argc, char **argv)
{
    if (argc > 1 && qstrcmp(argv[1], "--target") == 0)
        return runTarget(argc, argv);
    QApplication app(argc, argv);
    TestAskInputOnX11 test;
    return QTest::qExec(&test, argc, argv);
}

#include "e2e_askinput.moc"
