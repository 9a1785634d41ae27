// g++ 12 lays out a coroutine's frame wrongly when an if, while, for or switch
// condition awaits and the body happens to declare no variable, and the
// coroutine then resumes through a wild pointer; deleting a log line elsewhere
// in the function is enough to bring the crash back. So an await is a
// statement of its own, its result a named local, and never an operand of
// &&, || or ?:. The sources themselves are read, so every coroutine is checked.
#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <QTest>

#include <algorithm>

namespace {

// The code of a source with comments and literals blanked; line breaks stay,
// so offsets still tell the line.
QString codeOnly(const QString &source)
{
    static const QRegularExpression literal(QStringLiteral("//[^\\n]*|/\\*.*?\\*/" // comments
                                                          "|R\"([^(\\s]*)\\(.*?\\)\\1\"" // raw strings
                                                          "|\"(?:[^\"\\\\\\n]|\\\\.)*\"" // strings
                                                          "|'(?:[^'\\\\\\n]|\\\\.)'"), // characters
                                            QRegularExpression::DotMatchesEverythingOption);
    QString code = source;
    for (auto it = literal.globalMatch(source); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        for (qsizetype i = match.capturedStart(); i < match.capturedEnd(); ++i)
            if (code.at(i) != u'\n')
                code[i] = u' ';
    }
    return code;
}

// The end of the parenthesis opened just before `from`.
qsizetype closingParenthesis(const QString &code, qsizetype from)
{
    int depth = 1;
    for (qsizetype i = from; i < code.size(); ++i) {
        depth += code.at(i) == u'(' ? 1 : code.at(i) == u')' ? -1 : 0;
        if (depth == 0)
            return i;
    }
    return code.size();
}

using Ranges = QList<std::pair<qsizetype, qsizetype>>;

// The statement around `at`: from the last ; { } or condition before it to the next ; { or }.
QStringView statementAround(const QString &code, qsizetype at, const Ranges &conditions)
{
    const auto isEnd = [](QChar c) { return c == u';' || c == u'{' || c == u'}'; };
    qsizetype begin = at;
    while (begin > 0 && !isEnd(code.at(begin - 1)))
        --begin;
    for (const auto &[start, end] : conditions)
        if (begin <= end && end < at)
            begin = end + 1;
    qsizetype end = at;
    while (end < code.size() && !isEnd(code.at(end)))
        ++end;
    return QStringView(code).sliced(begin, end - begin);
}

// Lines of `code` where an await sits in a condition or a conditional expression.
QList<int> awaitsInConditions(const QString &code)
{
    static const QRegularExpression condition(QStringLiteral(R"(\b(?:if|while|for|switch)\s*(?:constexpr\s*)?\()"));
    static const QRegularExpression await(QStringLiteral(R"(\bco_await\b)"));
    static const QRegularExpression conditional(QStringLiteral(R"(&&|\|\||\?)"));
    Ranges conditions;
    for (auto it = condition.globalMatch(code); it.hasNext();) {
        const qsizetype start = it.next().capturedEnd();
        conditions.append({start, closingParenthesis(code, start)});
    }
    QList<int> lines;
    for (auto it = await.globalMatch(code); it.hasNext();) {
        const qsizetype at = it.next().capturedStart();
        const bool inCondition = std::any_of(conditions.cbegin(), conditions.cend(),
                                             [at](auto range) { return range.first <= at && at < range.second; });
        if (inCondition || statementAround(code, at, conditions).contains(conditional))
            lines.append(int(QStringView(code).first(at).count(u'\n')) + 1);
    }
    return lines;
}

} // namespace

class TestAwaitStatements : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void theReaderFindsEveryForm_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<int>("found");
        QTest::newRow("negated in an if") << "if (!co_await started(p))\n    throw e;" << 1;
        QTest::newRow("after &&") << "if (target && !co_await bring(t)) co_return;" << 1;
        QTest::newRow("in a while") << "while (\n  co_await more())\n  ++n;" << 1;
        QTest::newRow("declared in an if") << "if (auto text = co_await read())" << 1;
        QTest::newRow("in a ternary") << "co_return ready ? co_await a() : b;" << 1;
        QTest::newRow("in a short circuit") << "const bool sent = trusted && co_await send();" << 1;
        QTest::newRow("a statement of its own") << "const bool ok = co_await started(p);\nif (!ok) throw e;" << 0;
        QTest::newRow("awaited in the body") << "while (a && b)\n    co_await a();" << 0;
        QTest::newRow("in a comment or text") << "// if (co_await x)\nf(\"if (co_await x)\");" << 0;
    }

    void theReaderFindsEveryForm()
    {
        QFETCH(QString, code);
        QFETCH(int, found);
        QCOMPARE(awaitsInConditions(codeOnly(code)).size(), found);
    }

    void noSourceAwaitsInACondition()
    {
        QStringList found;
        int files = 0;
        for (const char *folder : {"src", "tests", "bench", "gallery"}) {
            const QString root = QStringLiteral(VIMA_PROJECT_DIR "/") + QLatin1String(folder);
            QDirIterator it(root, {QStringLiteral("*.cpp"), QStringLiteral("*.h")}, QDir::Files,
                            QDirIterator::Subdirectories);
            while (it.hasNext()) {
                QFile file(it.next());
                QVERIFY(file.open(QIODevice::ReadOnly));
                ++files;
                for (const int line : awaitsInConditions(codeOnly(QString::fromUtf8(file.readAll()))))
                    found.append(QStringLiteral("%1:%2").arg(file.fileName()).arg(line));
            }
        }
        QVERIFY(files > 100);
        QVERIFY2(found.isEmpty(), qPrintable(QStringLiteral("An await in a condition or beside &&, || or ?: "
                                                            "(make it a statement of its own) at ")
                                             + found.join(u' ')));
    }
};

QTEST_GUILESS_MAIN(TestAwaitStatements)
#include "tst_awaitstatements.moc"
