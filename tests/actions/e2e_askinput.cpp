// The ask panel on a real X server: it takes the keyboard from another
// application's window so that typed keys and Return answer the question.
#include "actions/AskInputView.h"
#include "actions/AskInputWindowController.h"
#include "WindowArea.h"

#include <QApplication>
#include <QCursor>
#include <QLineEdit>
#include <QProcess>
#include <QTest>

using namespace vima;

namespace {

// How long the X server and the window manager may take on a machine busy with other tests.
constexpr int settleLimit = 30000;

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
        QTRY_COMPARE_WITH_TIMEOUT(activeWindowName(), QStringLiteral("vima-target"), settleLimit);
        xdotool({QStringLiteral("mousemove"), QStringLiteral("700"), QStringLiteral("400")});
        // The panel is placed where the pointer is when it is asked for.
        QTRY_COMPARE_WITH_TIMEOUT(QCursor::pos(), QPoint(700, 400), settleLimit);
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
        QVERIFY(QTest::qWaitForWindowActive(panel, settleLimit));
        QCOMPARE(QApplication::focusWidget(), panel->field());
        // The window manager confirms the position after the window shows,
        // later still on a busy machine.
        QRect area;
        const auto where = [&area] {
            return QStringLiteral("panel at %1,%2 %3x%4, pointer at %5,%6")
                .arg(area.x()).arg(area.y()).arg(area.width()).arg(area.height())
                .arg(QCursor::pos().x()).arg(QCursor::pos().y()).toUtf8();
        };
        // Where the X server has it: Qt's frame margins may be those of the window manager's first 1x1 frame.
        const QStringList byId{QStringLiteral("-id"), QString::number(panel->winId())};
        QTRY_VERIFY2_WITH_TIMEOUT((area = windowArea(byId)).width() == AskInputView::width
                                      && qAbs(area.center().x() - 700) <= 2 && qAbs(area.top() - 424) <= 2,
                                  where(), settleLimit);

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
        QVERIFY(QTest::qWaitForWindowActive(controller.panel(), settleLimit));
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
