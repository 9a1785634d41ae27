#include "actions/PromptVariables.h"

#include <QTest>

using namespace vima;
using namespace vima::PromptVariables;

namespace {

Values sampleValues()
{
    Values values;
    values.selection = QStringLiteral("the text");
    values.appName = QStringLiteral("Editor");
    values.clipboard = QStringLiteral("copied");
    values.answers = {{QStringLiteral("Tone?"), QStringLiteral("warm")},
                      {defaultQuestion, QStringLiteral("shorten it")}};
    values.now = QDateTime(QDate(2026, 12, 7), QTime(14, 5));
    values.locale = QLocale(QLocale::English, QLocale::UnitedStates);
    return values;
}

} // namespace

class TestPromptVariables : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void tokensSplitNameAndArgument_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("name");
        QTest::addColumn<std::optional<QString>>("argument");

        const std::optional<QString> none;
        QTest::newRow("plain") << "{{selection}}" << "selection" << none;
        QTest::newRow("spaced capitals") << "{{ Selection \n}}" << "selection" << none;
        QTest::newRow("argument trimmed") << "{{ask:  Which tone? }}" << "ask" << std::optional<QString>("Which tone?");
        QTest::newRow("empty argument") << "{{ask: }}" << "ask" << none;
        QTest::newRow("colon in argument") << "{{Ask:Time: now or later?}}" << "ask"
                                           << std::optional<QString>("Time: now or later?");
        QTest::newRow("empty token") << "{{}}" << "" << none;
    }

    void tokensSplitNameAndArgument()
    {
        QFETCH(QString, text);
        QFETCH(QString, name);
        QFETCH(std::optional<QString>, argument);
        const QList<Token> found = tokens(text);
        QCOMPARE(found.size(), 1);
        QCOMPARE(found[0].name, name);
        QCOMPARE(found[0].argument, argument);
        QCOMPARE(found[0].range, (Range{0, text.size()}));
    }

    void tokenRangesCountUtf16Units()
    {
        // The emoji takes two UTF-16 units; a brace inside a run breaks it.
        const QList<Token> found = tokens(QStringLiteral("😀 {{app}} {{a{b}} {{{date}}}"));
        QCOMPARE(found.size(), 2);
        QCOMPARE(found[0].range, (Range{3, 7}));
        QCOMPARE(found[1].name, QStringLiteral("date"));
        QCOMPARE(found[1].range, (Range{20, 8}));
    }

    void askPromptsInOrderOnce_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("questions");

        QTest::newRow("none") << "Fix {{selection}}" << QStringList{};
        QTest::newRow("repeats") << "{{ask:A}} {{ask:B}} {{ask:A}}" << QStringList{"A", "B"};
        QTest::newRow("default twice") << "{{ask}} {{ask:}} {{ask: B }}"
                                       << QStringList{"What should Tavelon do?", "B"};
        QTest::newRow("case kept") << "{{ASK:a}} {{ask:A}}" << QStringList{"a", "A"};
        QTest::newRow("other names") << "{{asked:A}} {{task:B}}" << QStringList{};
    }

    void askPromptsInOrderOnce()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, questions);
        QCOMPARE(askPrompts(text), questions);
    }

    void expansion_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");

        QTest::newRow("selection") << "Fix: {{selection}}." << "Fix: the text.";
        QTest::newRow("spaced capitals") << "{{ SELECTION }}" << "the text";
        QTest::newRow("app") << "In {{app}}" << "In Editor";
        QTest::newRow("clipboard") << "[{{clipboard}}]" << "[copied]";
        QTest::newRow("date") << "On {{date}}" << "On Dec 7, 2026";
        QTest::newRow("time") << "At {{time}}" << "At 2:05 PM";
        QTest::newRow("ask") << "{{ask:Tone?}} and {{ask: Tone? }}" << "warm and warm";
        QTest::newRow("ask default") << "{{ask}}/{{ask:}}" << "shorten it/shorten it";
        QTest::newRow("unanswered ask") << "{{ask:Length?}}" << "{{ask:Length?}}";
        QTest::newRow("unknown and empty") << "{{mood}} {{}} {{language}}" << "{{mood}} {{}} {{language}}";
        QTest::newRow("extra braces") << "{{{selection}}}" << "{the text}";
        QTest::newRow("no tokens") << "Plain text." << "Plain text.";
        QTest::newRow("surrounding text") << "a{{app}}b{{nope}}c{{app}}" << "aEditorb{{nope}}cEditor";
        QTest::newRow("unicode around") << "😀{{app}}😀" << "😀Editor😀";
    }

    void expansion()
    {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        QCOMPARE(expand(text, sampleValues()), expected);
    }

    void valuesAreNeverScannedAgain()
    {
        Values values = sampleValues();
        values.selection = QStringLiteral("{{app}} and {{ask:Tone?}}");
        values.answers[QStringLiteral("Tone?")] = QStringLiteral("{{selection}}");
        QCOMPARE(expand(QStringLiteral("{{selection}} / {{ask:Tone?}}"), values),
                 QStringLiteral("{{app}} and {{ask:Tone?}} / {{selection}}"));
    }

    void emptyValuesVanish()
    {
        Values values = sampleValues();
        values.clipboard.clear();
        values.appName.clear();
        values.answers[QStringLiteral("Tone?")] = QString();
        QCOMPARE(expand(QStringLiteral("<{{clipboard}}|{{app}}|{{ask:Tone?}}|{{other}}>"), values),
                 QStringLiteral("<|||{{other}}>"));
    }

    void withoutAnswersAskTokensStay()
    {
        Values values = sampleValues();
        values.answers.clear();
        const QString text = QStringLiteral("{{ask}} {{ask:Tone?}}");
        QCOMPARE(expand(text, values), text);
    }

    void dateFollowsTheLocale_data()
    {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<QString>("expected");

        QTest::newRow("en_US") << QLocale(QLocale::English, QLocale::UnitedStates) << "Dec 7, 2026";
        QTest::newRow("fr_FR") << QLocale(QLocale::French, QLocale::France) << "7 déc. 2026";
        QTest::newRow("de_DE") << QLocale(QLocale::German, QLocale::Germany) << "7. Dez. 2026";
    }

    void dateFollowsTheLocale()
    {
        QFETCH(QLocale, locale);
        QFETCH(QString, expected);
        Values values = sampleValues();
        values.locale = locale;
        const QString date = expand(QStringLiteral("{{date}}"), values);
        QCOMPARE(date, expected);
    }

    void clipboardIsNeededOnlyForItsToken()
    {
        QVERIFY(needsClipboard(QStringLiteral("Use {{ Clipboard }}")));
        QVERIFY(!needsClipboard(QStringLiteral("Use {{selection}} {clipboard}")));
    }
};

QTEST_GUILESS_MAIN(TestPromptVariables)
#include "tst_promptvariables.moc"
