#include "actions/BoundedOutput.h"

#include <QTest>

using namespace vima;

class TestBoundedOutput : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void keepsUpToTheLimit_data()
    {
        QTest::addColumn<QByteArrayList>("chunks");
        QTest::addColumn<QString>("text");
        QTest::addColumn<qint64>("leftOut");
        QTest::newRow("under the limit") << QByteArrayList{"abc", "de"} << "abcde" << qint64(0);
        QTest::newRow("exactly the limit") << QByteArrayList{"abcd", "efgh"} << "abcdefgh" << qint64(0);
        QTest::newRow("one chunk over it") << QByteArrayList{"abcdefghijk"} << "abcdefgh" << qint64(3);
        QTest::newRow("chunks after it is full") << QByteArrayList{"abcdefg", "hij", "klmn"} << "abcdefgh"
                                                 << qint64(6);
        // "é" is two bytes: the limit falls between them.
        QTest::newRow("a character cut at the limit") << QByteArrayList{"abcdefg\xc3\xa9z"} << "abcdefg" << qint64(2);
        QTest::newRow("invalid UTF-8 kept as a replacement") << QByteArrayList{"ab\xff"} << "ab\uFFFD" << qint64(0);
    }

    void keepsUpToTheLimit()
    {
        QFETCH(QByteArrayList, chunks);
        QFETCH(QString, text);
        QFETCH(qint64, leftOut);
        BoundedOutput output(8);
        for (const QByteArray &chunk : chunks)
            output.append(chunk);
        QCOMPARE(output.leftOut(), leftOut);
        if (leftOut == 0) {
            QCOMPARE(output.text(), text);
            return;
        }
        const QString shown = output.text();
        QVERIFY2(shown.startsWith(text + QStringLiteral("\n… ")), qPrintable(shown));
        QVERIFY2(shown.endsWith(QStringLiteral(" more output not shown.")), qPrintable(shown));
    }
};

QTEST_GUILESS_MAIN(TestBoundedOutput)
#include "tst_boundedoutput.moc"
