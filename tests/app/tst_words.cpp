// Every text the program can show speaks of this system: no string literal
// under src/ names the other platform, its tools or its key glyphs. Literals
// are read from the sources themselves, so a text added anywhere is checked.
#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <QTest>

#include <algorithm>
#include <array>

namespace {

struct Literal {
    QString where; // file:line
    QString text;  // adjacent literals joined, escapes decoded
    bool logged = false;
};

// Reads the literals of one C++ source: comments, preprocessor lines and
// character literals are skipped; "a" "b" is one text, as the compiler sees it.
class LiteralReader {
public:
    LiteralReader(QString name, QString source) : name_(std::move(name)), s_(std::move(source)) {}

    QList<Literal> read()
    {
        while (i_ < s_.size()) {
            const QChar c = s_.at(i_);
            if (startsWith("//"))
                skipPast(QStringLiteral("\n"));
            else if (startsWith("/*"))
                skipPast(QStringLiteral("*/"));
            else if (c == u'#' && atLineStart())
                skipPreprocessorLine();
            else if (c == u'"')
                takeString();
            else if (c == u'\'' && !(i_ > 0 && s_.at(i_ - 1).isDigit())) // 1'000 is a number
                skipChar();
            else
                code(c);
        }
        return literals_;
    }

private:
    bool startsWith(const char *text) const { return QStringView(s_).mid(i_).startsWith(QLatin1String(text)); }

    bool atLineStart() const
    {
        for (qsizetype k = i_ - 1; k >= 0 && s_.at(k) != u'\n'; --k)
            if (!s_.at(k).isSpace())
                return false;
        return true;
    }

    void skipPast(const QString &end)
    {
        const qsizetype at = s_.indexOf(end, i_ + 1);
        i_ = at < 0 ? s_.size() : at + end.size();
        joining_ = joining_ && end == QStringLiteral("*/");
    }

    void skipPreprocessorLine()
    {
        while (i_ < s_.size() && !(s_.at(i_) == u'\n' && s_.at(i_ - 1) != u'\\'))
            ++i_;
        joining_ = false;
    }

    void skipChar()
    {
        for (++i_; i_ < s_.size() && s_.at(i_) != u'\''; ++i_)
            if (s_.at(i_) == u'\\')
                ++i_;
        ++i_;
        joining_ = false;
    }

    void code(QChar c)
    {
        if (c == u';' || c == u'{' || c == u'}')
            statement_.clear();
        else
            statement_ += c;
        if (!c.isSpace())
            joining_ = false;
        ++i_;
    }

    void takeString()
    {
        const bool raw = i_ > 0 && s_.at(i_ - 1) == u'R';
        const QString text = raw ? rawString() : cookedString();
        static const QRegularExpression log(QStringLiteral("\\bq(C?(Debug|Info|Warning|Critical)|Fatal)\\s*\\("));
        if (joining_) {
            literals_.last().text += text;
        } else {
            const qsizetype line = QStringView(s_).first(i_).count(u'\n') + 1;
            literals_.append({name_ + u':' + QString::number(line), text, log.match(statement_).hasMatch()});
        }
        statement_ += QStringLiteral("\"\"");
        joining_ = true;
    }

    QString rawString()
    {
        const qsizetype open = s_.indexOf(u'(', i_);
        const QString end = u')' + s_.mid(i_ + 1, open - i_ - 1) + u'"';
        const qsizetype close = s_.indexOf(end, open);
        const QString text = s_.mid(open + 1, close - open - 1);
        i_ = close + end.size();
        return text;
    }

    QString cookedString()
    {
        QString text;
        for (++i_; i_ < s_.size() && s_.at(i_) != u'"'; ++i_) {
            if (s_.at(i_) != u'\\') {
                text += s_.at(i_);
                continue;
            }
            const QChar e = s_.at(++i_);
            if (e == u'u' || e == u'U') {
                const int digits = e == u'u' ? 4 : 8;
                text += QString::fromUcs4(std::array{char32_t(s_.mid(i_ + 1, digits).toUInt(nullptr, 16))}.data(), 1);
                i_ += digits;
            } else {
                text += e == u'n' ? QChar(u'\n') : e;
            }
        }
        ++i_;
        return text;
    }

    QString name_;
    QString s_;
    qsizetype i_ = 0;
    QString statement_;
    bool joining_ = false;
    QList<Literal> literals_;
};

QList<Literal> sourceLiterals()
{
    QList<Literal> all;
    QDirIterator files(QStringLiteral(VIMA_SOURCE_DIR), {QStringLiteral("*.cpp"), QStringLiteral("*.h")}, QDir::Files,
                       QDirIterator::Subdirectories);
    while (files.hasNext()) {
        QFile file(files.next());
        if (!file.open(QIODevice::ReadOnly))
            qFatal("cannot read %s", qUtf8Printable(file.fileName()));
        const QString name = file.fileName().mid(qsizetype(sizeof(VIMA_SOURCE_DIR)));
        all += LiteralReader(name, QString::fromUtf8(file.readAll())).read();
    }
    return all;
}

// A stored AppleScript item keeps its kind, shown by its name, and says it
// can't run here; nothing else may mention AppleScript.
bool namesStoredAppleScriptItem(const QString &text)
{
    static const QRegularExpression cantRun(QStringLiteral("^AppleScript (can't|isn't available) .*this system"));
    return text == QStringLiteral("AppleScript") || text == QStringLiteral("Run AppleScript")
           || cantRun.match(text).hasMatch();
}

} // namespace

class WordsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        literals_ = sourceLiterals();
        QVERIFY2(literals_.size() > 1000, "the sources were not found or not read");
    }

    void readerSeesWhatTheCompilerSees()
    {
        const QString source = QStringLiteral(
            "#include \"Finder.h\"\n"
            "// \"in a comment\"\n"
            "/* \"in a block\" */\n"
            "auto a = tr(\"one \" /* joined */ \"text\\u2318\\\"\");\n"
            "char q = '\"'; int n = 1'000; auto u = u'\"';\n"
            "auto r = R\"x(raw \"here\")x\";\n"
            "qCDebug(log, \"a %s\",\n  \"logged\");\n");
        const QList<Literal> read = LiteralReader(QStringLiteral("f"), source).read();
        QStringList texts;
        for (const Literal &l : read)
            texts << l.text + (l.logged ? QStringLiteral(" [log]") : QString());
        QCOMPARE(texts, (QStringList{QStringLiteral("one text\u2318\""), QStringLiteral("raw \"here\""),
                                     QStringLiteral("a %s [log]"), QStringLiteral("logged [log]")}));
        QCOMPARE(read.first().where, QStringLiteral("f:4"));
    }

    void noOtherPlatformWords_data()
    {
        QTest::addColumn<QString>("pattern");
        const QStringList words{QStringLiteral("macOS"),       QStringLiteral("\\bMac\\b"),
                                QStringLiteral("Finder"),      QStringLiteral("Keychain"),
                                QStringLiteral("System Settings"), QStringLiteral("Xcode"),
                                QStringLiteral("Carbon"),      QStringLiteral("AppleScript"),
                                QStringLiteral("\u2318"),      QStringLiteral("\u2325"),
                                QStringLiteral("\u2303"),      QStringLiteral("(?i)\\bbundle (id|identifier)\\b"),
                                // X11 grants nothing: what is missing is an X11 session with XTest.
                                QStringLiteral("(?i)\\bneeds? Accessibility permission\\b")};
        for (const QString &word : words)
            QTest::newRow(qUtf8Printable(word)) << word;
    }

    void noOtherPlatformWords()
    {
        QFETCH(QString, pattern);
        const QRegularExpression word(pattern);
        qsizetype found = 0;
        for (const Literal &literal : std::as_const(literals_)) {
            // Log lines go to the journal for developers, not to the user.
            if (literal.logged || !word.match(literal.text).hasMatch() || namesStoredAppleScriptItem(literal.text))
                continue;
            qWarning("%s: %s", qUtf8Printable(literal.where), qUtf8Printable(literal.text));
            ++found;
        }
        QVERIFY2(found == 0, "the texts above name the other platform");
    }

private:
    QList<Literal> literals_;
};

QTEST_GUILESS_MAIN(WordsTest)
#include "tst_words.moc"
