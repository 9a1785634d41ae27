#include "ui/PlaceNearPointer.h"
#include "actions/ActionError.h"
#include "actions/ErrorDescription.h"
#include "actions/PanelText.h"
#include "actions/ResultWindowController.h"
#include "async/FakeScheduler.h"
#include "model/Text.h"

#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTextEdit>

using namespace vima;

namespace {

const RunningApplication editor{77, QStringLiteral("org.example.Editor"), QStringLiteral("Editor")};

ActionOutcome outcome(ActionOutcome::Style style, std::optional<RunningApplication> target = std::nullopt,
                      const QString &body = QStringLiteral("The answer."))
{
    ActionOutcome o;
    o.title = QStringLiteral("Summarise");
    o.body = body;
    o.style = style;
    o.replaceTarget = target;
    return o;
}

template<typename T = QPushButton>
T *child(QWidget *panel, const QString &name)
{
    return panel ? panel->findChild<T *>(name) : nullptr;
}

bool isProminent(QPushButton *button) { return button && button->property("prominent").toBool(); }

} // namespace

class TestResultPanel : public QObject {
    Q_OBJECT

    FakeScheduler scheduler;
    std::unique_ptr<ResultWindowController> controller;
    QPoint pointer{400, 300};
    QList<ActionOutcome> replaced;

private Q_SLOTS:
    void init()
    {
        replaced.clear();
        controller = std::make_unique<ResultWindowController>(scheduler);
        controller->pointerLocation = [this] { return pointer; };
        controller->onReplace = [this](const ActionOutcome &o) {
            QVERIFY(!controller->resultPanel()); // closed before the callback
            replaced.append(o);
        };
    }

    void failureShowsItsHintAndButtonOnly()
    {
        ActionOutcome failed = outcome(ActionOutcome::Style::failure);
        failed.recovery = QStringLiteral("Try again.");
        int performed = 0;
        failed.recoveryAction = RecoveryAction{QStringLiteral("Open Settings"), [&] { ++performed; }};
        controller->show(failed);
        QWidget *panel = controller->resultPanel();
        QVERIFY(child<QLabel>(panel, QStringLiteral("failureSymbol")));
        QCOMPARE(child<QTextEdit>(panel, QStringLiteral("body"))->toPlainText(), failed.body);
        QCOMPARE(child<QTextEdit>(panel, QStringLiteral("recovery"))->toPlainText(), QStringLiteral("Try again."));
        QVERIFY(!child(panel, QStringLiteral("copy")));
        QVERIFY(!child(panel, QStringLiteral("replace")));
        auto *recover = child(panel, QStringLiteral("recoveryAction"));
        QVERIFY(isProminent(recover));
        QCOMPARE(recover->text(), QStringLiteral("Open Settings"));
        recover->click();
        QCOMPARE(performed, 1);
        QCOMPARE(controller->resultPanel(), panel); // stays open
    }

    void successWithoutTargetOffersCopyOnly()
    {
        controller->show(outcome(ActionOutcome::Style::success));
        QWidget *panel = controller->resultPanel();
        QVERIFY(child<QLabel>(panel, QStringLiteral("successSymbol")));
        QVERIFY(isProminent(child(panel, QStringLiteral("copy"))));
        QVERIFY(!child(panel, QStringLiteral("replace")));
        QVERIFY(!child<QWidget>(panel, QStringLiteral("recovery")));
        panel->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(panel));
        QTest::keyClick(panel, Qt::Key_Return);
        QVERIFY(replaced.isEmpty());
        QCOMPARE(controller->resultPanel(), panel);
    }

    void anAnswerAlreadyWrittenOffersCopyAndClose()
    {
        ActionOutcome written = outcome(ActionOutcome::Style::success);
        written.replaced = true;
        controller->show(written);
        QWidget *panel = controller->resultPanel();
        QVERIFY(child(panel, QStringLiteral("copy")));
        QVERIFY(!child(panel, QStringLiteral("replace")));
        child(panel, QStringLiteral("closeButton"))->click();
        QVERIFY(!controller->resultPanel());
        QVERIFY(replaced.isEmpty());
    }

    void replaceSelectionClosesThenCallsBack()
    {
        controller->show(outcome(ActionOutcome::Style::success, editor));
        QWidget *panel = controller->resultPanel();
        QVERIFY(!isProminent(child(panel, QStringLiteral("copy"))));
        QVERIFY(isProminent(child(panel, QStringLiteral("replace"))));
        child(panel, QStringLiteral("replace"))->click();
        QCOMPARE(replaced.size(), 1);
        QCOMPARE(replaced.first().replaceTarget, editor);
    }

    void returnReplacesWhenThereIsATarget()
    {
        controller->show(outcome(ActionOutcome::Style::success, editor));
        QWidget *panel = controller->resultPanel();
        panel->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(panel));
        QTest::keyClick(panel, Qt::Key_Return);
        QCOMPARE(replaced.size(), 1);
    }

    void escapeCloses()
    {
        controller->show(outcome(ActionOutcome::Style::failure));
        QWidget *panel = controller->resultPanel();
        panel->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(panel));
        QTest::keyClick(panel, Qt::Key_Escape);
        QVERIFY(!controller->resultPanel());
    }

    void copiedLabelIsNotExtendedBySecondPress()
    {
        controller->show(outcome(ActionOutcome::Style::success, editor, QStringLiteral("copy me")));
        auto *copy = child(controller->resultPanel(), QStringLiteral("copy"));
        QGuiApplication::clipboard()->setText(QStringLiteral("other"));
        copy->click();
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("copy me"));
        QVERIFY(copy->text().contains(QStringLiteral("Copied")));
        scheduler.advance(1.0);
        QGuiApplication::clipboard()->setText(QStringLiteral("other"));
        copy->click();
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("copy me")); // copies again
        scheduler.advance(0.5);
        QVERIFY(copy->text().endsWith(QStringLiteral("Copy")));
    }

    void heightFollowsTheBody_data()
    {
        QTest::addColumn<QString>("body");
        QTest::addColumn<int>("height");
        QTest::newRow("one line") << "Short." << ResultView::minHeight;
        QTest::newRow("very long") << QStringLiteral("A long line of text that wraps. ").repeated(400)
                                   << ResultView::maxHeight;
    }

    void heightFollowsTheBody()
    {
        QFETCH(QString, body);
        QFETCH(int, height);
        controller->show(outcome(ActionOutcome::Style::success, std::nullopt, body));
        QCOMPARE(controller->resultPanel()->size(), QSize(ResultView::width, height));
    }

    // A hint (an answer cut at the token limit, a paste that failed) is read
    // without scrolling, however long the body; Replace Selection stays.
    void theHintStaysInSight_data()
    {
        QTest::addColumn<QString>("body");
        QTest::newRow("a body that scrolls") << QStringLiteral("Words that wrap in the panel. ").repeated(100);
        QTest::newRow("a body in a text view") << QStringLiteral("Words that wrap in the panel. ").repeated(400);
    }

    void theHintStaysInSight()
    {
        QFETCH(QString, body);
        ActionOutcome cut = outcome(ActionOutcome::Style::success, editor, body);
        cut.recovery = QStringLiteral("The answer stopped at the limit of 2048 output tokens and may be cut short.");
        controller->show(cut);
        QWidget *panel = controller->resultPanel();
        QVERIFY(QTest::qWaitForWindowExposed(panel));
        auto *hint = child<QTextEdit>(panel, QStringLiteral("recovery"));
        QCOMPARE(hint->toPlainText(), *cut.recovery);
        QVERIFY(panel->rect().contains(QRect(hint->mapTo(panel, QPoint()), hint->size())));
        QVERIFY(hint->isVisible());
        QVERIFY(child(panel, QStringLiteral("replace")));
    }

    void panelsLayOutBoundedText_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("body");
        QTest::addColumn<QString>("recovery");
        const QString mb(1024 * 1024, u'a');
        QTest::newRow("a 1 MB single line") << "Explain" << mb << QString();
        QTest::newRow("1 MB of words on one line") << "Explain" << QStringLiteral("word ").repeated(200'000) << QString();
        QTest::newRow("8 MB of short lines") << "Explain" << QStringLiteral("a line\n").repeated(1'200'000) << QString();
        QTest::newRow("a 10 MB title") << QString(10 * 1024 * 1024, u't') << "Short." << QString();
        QTest::newRow("a hint quoting 1 MB") << "Open" << "Short." << QStringLiteral("Couldn't open ") + mb;
        QTest::newRow("unbroken words wrap") << "Open" << QString(300, u'x') << QStringLiteral("Couldn't open ") + QString(300, u'y');
    }

    void panelsLayOutBoundedText()
    {
        QFETCH(QString, title);
        QFETCH(QString, body);
        QFETCH(QString, recovery);
        ActionOutcome shown = outcome(ActionOutcome::Style::success, editor, body);
        shown.title = title;
        if (!recovery.isEmpty())
            shown.recovery = recovery;
        controller->show(shown);
        QWidget *panel = controller->resultPanel();
        QStringList texts{panel->windowTitle()};
        for (const QLabel *label : panel->findChildren<QLabel *>())
            texts << label->text();
        for (const QPlainTextEdit *edit : panel->findChildren<QPlainTextEdit *>())
            texts << edit->toPlainText();
        for (const QTextEdit *edit : panel->findChildren<QTextEdit *>())
            texts << edit->toPlainText();
        for (const QWidget *widget : panel->findChildren<QWidget *>()) // nothing runs off the edge
            QVERIFY2(widget->minimumSizeHint().width() <= ResultView::width, qPrintable(widget->objectName()));
        for (const QString &text : std::as_const(texts)) {
            QVERIFY(text.size() <= PanelText::longestBody + 100);
            for (const QStringView line : QStringView(text).split(u'\n'))
                QVERIFY(line.size() <= PanelText::longestLine);
        }
        QApplication::clipboard()->clear();
        child(panel, QStringLiteral("copy"))->click();
        QCOMPARE(QApplication::clipboard()->text(), body); // Copy takes all of it

        controller->showBusy(title + QStringLiteral("…"));
        QVERIFY(Text::graphemeCount(controller->hudPanel()->message()) <= PanelText::longestTitle + 1);
    }

    void errorsQuoteABoundedPart()
    {
        const QString url = QStringLiteral("https://example.com/") + QString(1024 * 1024, u'x');
        const ErrorDescription described =
            ErrorDescription::of(std::make_exception_ptr(ActionError::notFound(QStringLiteral("Couldn't open ") + url)));
        QCOMPARE(described.message.size(), PanelText::longestMessage + 1);
        QVERIFY(described.message.startsWith(QStringLiteral("Couldn't open https://example.com/xxx")));
        QVERIFY(described.message.endsWith(QChar(0x2026)));
    }

    void newResultReplacesTheOldAndTheBusyIndicator()
    {
        controller->showBusy(QStringLiteral("Running…"));
        controller->show(outcome(ActionOutcome::Style::success));
        QPointer<QWidget> first = controller->resultPanel();
        QVERIFY(!controller->hudPanel());
        controller->show(outcome(ActionOutcome::Style::failure));
        QVERIFY(controller->resultPanel() != first.data());
        QVERIFY(first.isNull() || !first->isVisible());
    }

    void panelsArePlacedNearThePointer()
    {
        const QRect visible = QGuiApplication::primaryScreen()->availableGeometry();
        controller->show(outcome(ActionOutcome::Style::success));
        QWidget *panel = controller->resultPanel();
        QCOMPARE(panel->pos(), placeNearPointer(panel->size(), pointer, 0, visible));
        controller->showBusy(QStringLiteral("Running…"));
        QWidget *hud = controller->hudPanel();
        QCOMPARE(hud->pos(), placeNearPointer(hud->size(), pointer, -40, visible));
        QCOMPARE(hud->pos().y(), pointer.y() + 64);
    }

    void busyTextChangesInPlace()
    {
        controller->showBusy(QStringLiteral("Reading selection…"));
        BusyHUDView *hud = controller->hudPanel();
        const QPoint where = hud->pos();
        pointer += QPoint(200, 100);
        controller->showBusy(QStringLiteral("Rewrite…"));
        QCOMPARE(controller->hudPanel(), hud);
        QCOMPARE(hud->message(), QStringLiteral("Rewrite…"));
        QCOMPARE(hud->pos(), where);
    }

    void cancelCallsBackAndLeavesTheIndicator()
    {
        int cancels = 0;
        controller->onCancelBusy = [&] { ++cancels; };
        controller->showBusy(QStringLiteral("Running…"));
        child(controller->hudPanel(), QStringLiteral("cancel"))->click();
        QCOMPARE(cancels, 1);
        QVERIFY(controller->hudPanel());
        controller->hideBusy();
        QVERIFY(!controller->hudPanel());
    }
};

QTEST_MAIN(TestResultPanel)
#include "tst_resultpanel.moc"
