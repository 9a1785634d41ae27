#include "actions/AskInputView.h"
#include "actions/AskInputWindowController.h"
#include "actions/PanelText.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <deque>

using namespace vima;

namespace {

struct Asked {
    bool done = false;
    std::optional<QString> answer;
};

QCoro::Task<void> askInto(AskInputWindowController &controller, QString question, Asked &out,
                          CancellationToken token = {})
{
    out.answer = co_await controller.ask(std::move(question), token);
    out.done = true;
}

QPushButton *button(QWidget *panel, const QString &title)
{
    const auto buttons = panel->findChildren<QPushButton *>();
    for (QPushButton *candidate : buttons) {
        if (candidate->text() == title)
            return candidate;
    }
    return nullptr;
}

enum class Reply { continueButton, returnKey, enterKey, cancelButton, escapeKey, closeWindow };

} // namespace

Q_DECLARE_METATYPE(Reply)

class TestAskInputWindowController : public QObject {
    Q_OBJECT

    QPoint pointer_{400, 300};
    // An asker is resumed from the event loop, after its test's controller has
    // gone: what it writes must outlive that test.
    std::deque<Asked> asked_;

    void install(AskInputWindowController &controller)
    {
        controller.pointerLocation = [this] { return pointer_; };
    }
    Asked &newAsked() { return asked_.emplace_back(); }

private Q_SLOTS:
    void init() { pointer_ = {400, 300}; }
    void cleanup()
    {
        QCoreApplication::processEvents();
        asked_.clear();
    }

    void answers_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<Reply>("reply");
        QTest::addColumn<std::optional<QString>>("expected");

        const std::optional<QString> none;
        QTest::newRow("continue") << "warm" << Reply::continueButton << std::optional<QString>("warm");
        QTest::newRow("return") << "warm" << Reply::returnKey << std::optional<QString>("warm");
        QTest::newRow("keypad enter") << "warm" << Reply::enterKey << std::optional<QString>("warm");
        QTest::newRow("untrimmed") << "  a b  " << Reply::returnKey << std::optional<QString>("  a b  ");
        QTest::newRow("empty continue") << "" << Reply::continueButton << std::optional<QString>("");
        QTest::newRow("cancel") << "warm" << Reply::cancelButton << none;
        QTest::newRow("escape") << "warm" << Reply::escapeKey << none;
        QTest::newRow("closed") << "warm" << Reply::closeWindow << none;
    }

    void answers()
    {
        QFETCH(QString, typed);
        QFETCH(Reply, reply);
        QFETCH(std::optional<QString>, expected);

        AskInputWindowController controller;
        install(controller);
        Asked &asked = newAsked();
        askInto(controller, QStringLiteral("Tone?"), asked);
        QPointer<AskInputView> panel = controller.panel();
        QVERIFY(panel);
        QVERIFY(panel->isVisible());
        QCOMPARE(panel->question(), QStringLiteral("Tone?"));

        QTest::keyClicks(panel->field(), typed);
        switch (reply) {
        case Reply::continueButton: button(panel, QStringLiteral("Continue"))->click(); break;
        case Reply::returnKey: QTest::keyClick(panel->field(), Qt::Key_Return); break;
        case Reply::enterKey: QTest::keyClick(panel->field(), Qt::Key_Enter, Qt::KeypadModifier); break;
        case Reply::cancelButton: button(panel, QStringLiteral("Cancel"))->click(); break;
        case Reply::escapeKey: QTest::keyClick(panel->field(), Qt::Key_Escape); break;
        case Reply::closeWindow: panel->close(); break;
        }
        // The asker resumes from the event loop, not inside the click.
        QVERIFY(!asked.done);
        QVERIFY(!controller.panel());
        QTRY_VERIFY(asked.done);
        QCOMPARE(asked.answer, expected);
        QTRY_VERIFY(!panel);
    }

    void modifiedKeysDoNotAnswer()
    {
        AskInputWindowController controller;
        install(controller);
        Asked &asked = newAsked();
        askInto(controller, QStringLiteral("Tone?"), asked);
        AskInputView *panel = controller.panel();
        QTest::keyClick(panel->field(), Qt::Key_Return, Qt::ShiftModifier);
        QTest::keyClick(panel->field(), Qt::Key_Escape, Qt::ControlModifier);
        QCoreApplication::processEvents();
        QVERIFY(!asked.done);
        QCOMPARE(controller.panel(), panel);
    }

    void fieldHasTheKeysWhenShown()
    {
        AskInputWindowController controller;
        install(controller);
        Asked &asked = newAsked();
        askInto(controller, QStringLiteral("Tone?"), asked);
        QVERIFY(QTest::qWaitForWindowActive(controller.panel()));
        QCOMPARE(QApplication::focusWidget(), controller.panel()->field());
    }

    void newerQuestionSupersedesTheWaitingOne()
    {
        AskInputWindowController controller;
        install(controller);
        Asked &first = newAsked(), &second = newAsked();
        askInto(controller, QStringLiteral("First?"), first);
        QPointer<AskInputView> firstPanel = controller.panel();
        const QRect firstPlace = firstPanel->geometry();

        pointer_ = {200, 150};
        askInto(controller, QStringLiteral("Second?"), second);
        QVERIFY(!first.done); // resumed later, never inside the newer ask
        QVERIFY(firstPanel.isNull() || !firstPanel->isVisible());
        AskInputView *secondPanel = controller.panel();
        QCOMPARE(secondPanel->question(), QStringLiteral("Second?"));
        QVERIFY(secondPanel->geometry().top() < firstPlace.top());

        QTRY_VERIFY(first.done);
        QCOMPARE(first.answer, std::nullopt);
        QVERIFY(!second.done);

        QTest::keyClicks(secondPanel->field(), QStringLiteral("yes"));
        QTest::keyClick(secondPanel->field(), Qt::Key_Return);
        QTRY_VERIFY(second.done);
        QCOMPARE(second.answer, std::optional<QString>("yes"));
    }

    void cancellingTheAskerClosesThePanel()
    {
        AskInputWindowController controller;
        install(controller);
        CancellationToken token;
        Asked &asked = newAsked();
        askInto(controller, QStringLiteral("Tone?"), asked, token);
        QPointer<AskInputView> panel = controller.panel();
        QVERIFY(panel);
        token.cancel();
        QTRY_VERIFY(asked.done);
        QCOMPARE(asked.answer, std::nullopt);
        QVERIFY(!controller.panel());
        QVERIFY(panel.isNull() || !panel->isVisible());
    }

    void alreadyCancelledAskerGetsNone()
    {
        AskInputWindowController controller;
        install(controller);
        CancellationToken token;
        token.cancel();
        Asked &asked = newAsked();
        askInto(controller, QStringLiteral("Tone?"), asked, token);
        QVERIFY(asked.done);
        QCOMPARE(asked.answer, std::nullopt);
        QVERIFY(!controller.panel());
    }

    void lateCancellationLeavesTheNewerQuestion()
    {
        AskInputWindowController controller;
        install(controller);
        CancellationToken firstToken;
        Asked &first = newAsked(), &second = newAsked();
        askInto(controller, QStringLiteral("First?"), first, firstToken);
        firstToken.cancel(); // its finish is still queued...
        askInto(controller, QStringLiteral("Second?"), second); // ...when this takes over
        QTRY_VERIFY(first.done);
        QCoreApplication::processEvents();
        QVERIFY(!second.done);
        QVERIFY(controller.panel());
        QCOMPARE(controller.panel()->question(), QStringLiteral("Second?"));
    }

    void finishWithNothingWaitingChangesNothing()
    {
        AskInputWindowController controller;
        install(controller);
        controller.finish(QStringLiteral("stray"));
        QVERIFY(!controller.panel());

        Asked &asked = newAsked();
        askInto(controller, QStringLiteral("Tone?"), asked);
        controller.finish(QStringLiteral("first"));
        controller.finish(QStringLiteral("second"));
        QTRY_VERIFY(asked.done);
        QCOMPARE(asked.answer, std::optional<QString>("first"));
    }

    void destroyedControllerAnswersNone()
    {
        auto controller = std::make_unique<AskInputWindowController>();
        install(*controller);
        Asked &asked = newAsked();
        askInto(*controller, QStringLiteral("Tone?"), asked);
        QPointer<AskInputView> panel = controller->panel();
        controller.reset();
        QTRY_VERIFY(asked.done);
        QCOMPARE(asked.answer, std::nullopt);
        QTRY_VERIFY(!panel);
    }

    void placement_data()
    {
        QTest::addColumn<int>("fromBottom");
        QTest::addColumn<bool>("above");

        QTest::newRow("room below") << 300 << false;
        QTest::newRow("near the bottom") << 10 << true;
    }

    void placement()
    {
        QFETCH(int, fromBottom);
        QFETCH(bool, above);
        const QRect visible = QGuiApplication::primaryScreen()->availableGeometry();
        pointer_ = {visible.center().x(), visible.bottom() - fromBottom};
        AskInputWindowController controller;
        install(controller);
        Asked &asked = newAsked();
        askInto(controller, QStringLiteral("Tone?"), asked);
        const QRect frame = controller.panel()->geometry();
        QCOMPARE(frame.width(), AskInputView::width);
        QVERIFY(visible.contains(frame));
        QCOMPARE(frame.left() + frame.width() / 2, pointer_.x());
        if (above)
            QCOMPARE(frame.bottom() + 1, pointer_.y() - 24);
        else
            QCOMPARE(frame.top(), pointer_.y() + 24);
    }

    void longQuestionIsCutAfterTwoLines()
    {
        AskInputWindowController controller;
        install(controller);
        Asked &shortAsked = newAsked(), &longAsked = newAsked();
        askInto(controller, QStringLiteral("Tone?"), shortAsked);
        const int shortHeight = controller.panel()->height();

        const QString question = QStringLiteral("Which of the many possible tones would suit this text best? ").repeated(6);
        askInto(controller, question, longAsked);
        AskInputView *panel = controller.panel();
        QCOMPARE(panel->question(), question);
        const auto labels = panel->findChildren<QLabel *>();
        const auto shown = std::find_if(labels.begin(), labels.end(),
                                        [](QLabel *label) { return label->text().startsWith(u"Which"); });
        QVERIFY(shown != labels.end());
        QVERIFY((*shown)->text().endsWith(QChar(0x2026)));
        const int lineHeight = (*shown)->fontMetrics().lineSpacing();
        QVERIFY(panel->height() > shortHeight);
        QVERIFY(panel->height() < shortHeight + 2 * lineHeight);
    }

    void hugeQuestionIsLaidOutBounded_data()
    {
        QTest::addColumn<int>("length");
        QTest::newRow("the title field's limit") << 32'767;
        QTest::newRow("100 KB") << 100 * 1024;
        QTest::newRow("10 MB") << 10 * 1024 * 1024;
    }

    void hugeQuestionIsLaidOutBounded()
    {
        QFETCH(int, length);
        const QString question(length, u'w'); // one word: no line can break it
        AskInputWindowController controller;
        install(controller);
        Asked &asked = newAsked();
        askInto(controller, question, asked);
        AskInputView *panel = controller.panel();
        QCOMPARE(panel->question(), question);
        const auto labels = panel->findChildren<QLabel *>();
        const auto shown = std::find_if(labels.begin(), labels.end(),
                                        [](QLabel *label) { return label->text().startsWith(u'w'); });
        QVERIFY(shown != labels.end());
        QVERIFY((*shown)->text().size() <= PanelText::longestMessage + 1);
        QVERIFY((*shown)->text().endsWith(QChar(0x2026)));
    }
};

QTEST_MAIN(TestAskInputWindowController)
#include "tst_askinputwindowcontroller.moc"
