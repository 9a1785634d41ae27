#include "actions/ActionError.h"
#include "actions/SelectionError.h"
#include "actions/TextFunctions.h"

#include <QTest>

using namespace vima;

class TestTexts : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void nilIfBlank_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("blank");
        QTest::newRow("empty") << "" << true;
        QTest::newRow("spaces and breaks") << " \n\t\r\n" << true;
        QTest::newRow("kept untrimmed") << "  a " << false;
    }

    void nilIfBlank()
    {
        QFETCH(QString, text);
        QFETCH(bool, blank);
        QCOMPARE(vima::nilIfBlank(text), blank ? std::nullopt : std::optional(text));
    }

    void substring_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<qint64>("offset");
        QTest::addColumn<qint64>("length");
        QTest::addColumn<std::optional<QString>>("expected");
        const QString emoji = QStringLiteral("😀 hi");
        QTest::newRow("after an emoji") << emoji << qint64(3) << qint64(2) << std::optional(QStringLiteral("hi"));
        QTest::newRow("whole emoji") << emoji << qint64(0) << qint64(2) << std::optional(QStringLiteral("😀"));
        QTest::newRow("ends inside it") << emoji << qint64(0) << qint64(1) << std::optional<QString>();
        QTest::newRow("starts inside it") << emoji << qint64(1) << qint64(2) << std::optional<QString>();
        QTest::newRow("negative offset") << emoji << qint64(-1) << qint64(2) << std::optional<QString>();
        QTest::newRow("zero length") << emoji << qint64(0) << qint64(0) << std::optional<QString>();
        QTest::newRow("past the end") << emoji << qint64(4) << qint64(2) << std::optional<QString>();
        QTest::newRow("to the very end") << emoji << qint64(4) << qint64(1) << std::optional(QStringLiteral("i"));
        QTest::newRow("combining accent") << QStringLiteral("e\u0301x") << qint64(0) << qint64(1)
                                          << std::optional<QString>();
    }

    void substring()
    {
        QFETCH(QString, text);
        QFETCH(qint64, offset);
        QFETCH(qint64, length);
        QFETCH(std::optional<QString>, expected);
        QCOMPARE(vima::substring(text, offset, length), expected);
    }

    void actionErrorTexts()
    {
        QCOMPARE(ActionError::emptyPayload(QStringLiteral("shell script")).description(),
                 QStringLiteral("This item has no shell script configured."));
        QCOMPARE(QString::fromUtf8(ActionError::notFound(QStringLiteral("Nothing at /x.")).what()),
                 QStringLiteral("Nothing at /x."));
        QVERIFY(!ActionError::scriptFailed(QStringLiteral("x")).recoverySuggestion());
    }

    void selectionErrorTexts()
    {
        const std::optional<QString> name = QStringLiteral("mail");
        QCOMPARE(SelectionError::captureFailed(name).description(),
                 QStringLiteral("Tavelon couldn't read the selection from mail."));
        QCOMPARE(SelectionError::captureFailed(std::nullopt).recoverySuggestion(),
                 QStringLiteral("Highlight the text again and make sure that window is in front — a selection is "
                                "only readable while its app has focus."));
        QCOMPARE(SelectionError::selectionNotShared(name).description().left(5), QStringLiteral("Mail "));
        QCOMPARE(SelectionError::notPermitted().recoverySuggestion(),
                 QStringLiteral("Start Tavelon in an X11 session whose X server has the XTest extension."));
    }
};

QTEST_GUILESS_MAIN(TestTexts)
#include "tst_texts.moc"
