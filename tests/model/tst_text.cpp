#include "model/Text.h"

#include <QTest>
#include <QTextBoundaryFinder>

using namespace vima;

class TestText : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void graphemeCount_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<qsizetype>("count");
        QTest::newRow("empty") << QString() << qsizetype(0);
        QTest::newRow("ascii") << QStringLiteral("abc") << qsizetype(3);
        QTest::newRow("crlf is one") << QStringLiteral("a\r\nb") << qsizetype(3);
        QTest::newRow("combining accent") << QStringLiteral("e\u0301e\u0301") << qsizetype(2);
        QTest::newRow("flags") << QStringLiteral("🇩🇪🇫🇷") << qsizetype(2);
        QTest::newRow("zwj family") << QStringLiteral("👨‍👩‍👧x") << qsizetype(2);
        QTest::newRow("over 32 code points in pieces") << u'a' + QString(99, QChar(0x0301)) << qsizetype(4);
    }

    void graphemeCount()
    {
        QFETCH(QString, text);
        QFETCH(qsizetype, count);
        QCOMPARE(Text::graphemeCount(text), count);
        QCOMPARE(Text::graphemes(text).join(QString()), text);
    }

    // Long texts are read in windows of 256 units: characters across their
    // ends split as they do when the whole text is read at once.
    void windowsSplitAsTheWholeText_data()
    {
        QTest::addColumn<QString>("text");
        const QString x255(255, u'x');
        QTest::newRow("crlf") << x255 + QStringLiteral("\r\n");
        QTest::newRow("a modifier's surrogate pair") << x255.first(253) + QStringLiteral("👍🏻");
        QTest::newRow("flags after an emoji") << x255.first(252) + QStringLiteral("👨🇩🇩");
        QTest::newRow("a longest character across the end") << x255.first(240) + u'e' + QString(31, QChar(0x0301));
        QTest::newRow("flags after a window's worth") << QStringLiteral("👨🇩🇩").repeated(60);
    }

    void windowsSplitAsTheWholeText()
    {
        QFETCH(QString, text);
        QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
        QStringList whole;
        qsizetype from = 0;
        for (qsizetype end = finder.toNextBoundary(); end != -1; end = finder.toNextBoundary()) {
            whole.append(text.sliced(from, end - from));
            from = end;
        }
        QCOMPARE(Text::graphemes(text), whole);
    }

    void firstLineCut_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        const QString sixty(60, u'x');
        const QString flag = QStringLiteral("🇩🇪");
        QTest::newRow("empty") << QString() << QString();
        QTest::newRow("only line feeds") << QStringLiteral("\n\n\n") << QString();
        QTest::newRow("first of several") << QStringLiteral("one\ntwo") << QStringLiteral("one");
        QTest::newRow("two blank lines skipped") << QStringLiteral("\n\nthird\nfourth") << QStringLiteral("third");
        QTest::newRow("spaces are a line") << QStringLiteral("   \nnext") << QStringLiteral("   ");
        QTest::newRow("crlf does not split") << QStringLiteral("a\r\nb\nc") << QStringLiteral("a\r\nb");
        QTest::newRow("sixty stays whole") << sixty << sixty;
        QTest::newRow("sixty-one is cut") << sixty + u'y' << sixty + QChar(0x2026);
        QTest::newRow("cut counts graphemes") << flag.repeated(61) << flag.repeated(60) + QChar(0x2026);
        QTest::newRow("accents count once") << QStringLiteral("e\u0301").repeated(60) << QStringLiteral("e\u0301").repeated(60);
        QTest::newRow("cut only the first line") << sixty + u'y' + u'\n' << sixty + QChar(0x2026);
        QTest::newRow("a line feed after sixty") << sixty + QStringLiteral("\nmore") << sixty;
        QTest::newRow("a leading crlf is a line") << QStringLiteral("\n\r\nx\ny") << QStringLiteral("\r\nx");
        QTest::newRow("crlf is one character at the cut")
            << sixty.first(59) + QStringLiteral("\r\nb") << sixty.first(59) + QStringLiteral("\r\n…");
        const QString marked = QStringLiteral("e\u0301\u0302\u0303\u0304"); // 60 of them outgrow a window
        QTest::newRow("cut past a window") << marked.repeated(61) << marked.repeated(60) + QChar(0x2026);
    }

    void firstLineCut()
    {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        QCOMPARE(Text::firstLineCut(text), expected);
    }

    void cut_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        const QString accent = QStringLiteral("e\u0301");
        const QString flag = QStringLiteral("🇩🇪");
        QTest::newRow("sixty accents stay whole") << accent.repeated(60) << accent.repeated(60);
        QTest::newRow("flags are cut whole") << flag.repeated(61) << flag.repeated(60) + QChar(0x2026);
        QTest::newRow("a million emoji") << QStringLiteral("😀").repeated(1'000'000)
                                         << QStringLiteral("😀").repeated(60) + QChar(0x2026);
        // Only the first 32 code points of a character are read.
        QTest::newRow("cut inside a million accents") << u'a' + QString(1'000'000, QChar(0x0301))
                                                      << u'a' + QString(31, QChar(0x0301)) + QChar(0x2026);
        QTest::newRow("cut inside a short text") << u'a' + QString(40, QChar(0x0301))
                                                 << u'a' + QString(31, QChar(0x0301)) + QChar(0x2026);
    }

    void cut()
    {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        QCOMPARE(Text::cut(text, 60), expected);
    }

    void isBlank_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("blank");
        QTest::newRow("empty") << QString() << true;
        QTest::newRow("spaces and breaks") << QStringLiteral(" \t\r\n \n") << true;
        QTest::newRow("unicode separators") << QStringLiteral("\u00A0\u2028\u2029\u0085") << true;
        QTest::newRow("a letter") << QStringLiteral("  a\n") << false;
    }

    void isBlank()
    {
        QFETCH(QString, text);
        QFETCH(bool, blank);
        QCOMPARE(Text::isBlank(text), blank);
    }

    void trimmedKeepsInnerSpace()
    {
        QCOMPARE(Text::trimmed(QStringLiteral("\n  More  than\t\n")), QStringLiteral("More  than"));
    }
};

QTEST_GUILESS_MAIN(TestText)
#include "tst_text.moc"
