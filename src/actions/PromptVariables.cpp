#include "actions/PromptVariables.h"

#include <QRegularExpression>
#include <algorithm>

namespace vima::PromptVariables {

namespace {

const QRegularExpression &tokenPattern()
{
    static const QRegularExpression pattern(QStringLiteral(R"(\{\{([^{}]*)\}\})"));
    return pattern;
}

Token makeToken(const QRegularExpressionMatch &match)
{
    const QString group = match.captured(1);
    const qsizetype colon = group.indexOf(u':');
    Token token;
    token.range = {match.capturedStart(0), match.capturedLength(0)};
    token.name = (colon < 0 ? group : group.left(colon)).trimmed().toLower();
    if (colon >= 0) {
        const QString argument = group.mid(colon + 1).trimmed();
        if (!argument.isEmpty())
            token.argument = argument;
    }
    return token;
}

QString questionOf(const Token &token)
{
    return token.argument.value_or(defaultQuestion);
}

// The long date format without the weekday and with abbreviated month names:
// the nearest Qt gets to a medium date style ("Dec 7, 2026", "7 déc. 2026").
QString mediumDate(const QDate &date, const QLocale &locale)
{
    static const QRegularExpression weekday(QStringLiteral(R"(d{3,}[,.،]?\s*)"));
    static const QRegularExpression longMonth(QStringLiteral("M{4}"));
    static const QRegularExpression trailing(QStringLiteral(R"([\s,،]+$)"));
    // Quoted literals sit at odd positions once split at the quotes.
    QStringList parts = locale.dateFormat(QLocale::LongFormat).split(u'\'');
    for (qsizetype i = 0; i < parts.size(); i += 2)
        parts[i].remove(weekday).replace(longMonth, QStringLiteral("MMM"));
    return locale.toString(date, parts.join(u'\'').remove(trailing));
}

std::optional<QString> valueOf(const Token &token, const Values &values)
{
    if (token.name == u"selection")
        return values.selection;
    if (token.name == u"clipboard")
        return values.clipboard;
    if (token.name == u"app")
        return values.appName;
    if (token.name == u"date")
        return mediumDate(values.now.date(), values.locale);
    if (token.name == u"time")
        return values.locale.toString(values.now.time(), QLocale::ShortFormat);
    if (token.name == u"ask") {
        const auto answer = values.answers.constFind(questionOf(token));
        if (answer != values.answers.constEnd())
            return *answer;
    }
    return std::nullopt;
}

} // namespace

QList<Token> tokens(const QString &text)
{
    QList<Token> result;
    auto matches = tokenPattern().globalMatch(text);
    while (matches.hasNext()) {
        const QRegularExpressionMatch match = matches.next();
        if (match.hasCaptured(1))
            result.append(makeToken(match));
    }
    return result;
}

QStringList askPrompts(const QString &text)
{
    QStringList questions;
    for (const Token &token : tokens(text)) {
        if (token.name != u"ask")
            continue;
        const QString question = questionOf(token);
        if (!questions.contains(question))
            questions.append(question);
    }
    return questions;
}

bool needsClipboard(const QString &text)
{
    const QList<Token> all = tokens(text);
    return std::any_of(all.begin(), all.end(), [](const Token &token) { return token.name == u"clipboard"; });
}

QString expand(const QString &text, const Values &values)
{
    QString output;
    qsizetype cursor = 0;
    for (const Token &token : tokens(text)) {
        const std::optional<QString> value = valueOf(token, values);
        if (!value)
            continue;
        output += QStringView(text).sliced(cursor, token.range.location - cursor);
        output += *value;
        cursor = token.range.end();
    }
    output += QStringView(text).sliced(cursor);
    return output;
}

} // namespace vima::PromptVariables
