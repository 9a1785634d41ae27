#pragma once

#include <QDateTime>
#include <QHash>
#include <QList>
#include <QLocale>
#include <QString>
#include <QStringList>
#include <optional>

namespace vima {

// The {{name}} and {{name:argument}} tokens of an AI prompt template, the
// questions they ask, and their expansion.
namespace PromptVariables {

// Asked by an ask token that names no question.
inline const QString defaultQuestion = QStringLiteral("What should Tavelon do?");

struct Range {
    qsizetype location = 0; // UTF-16 units
    qsizetype length = 0;

    qsizetype end() const { return location + length; }
    bool operator==(const Range &) const = default;
};

struct Token {
    Range range;                     // the whole token, braces included
    QString name;                    // trimmed, lower case
    std::optional<QString> argument; // trimmed; absent when empty

    bool operator==(const Token &) const = default;
};

// What the tokens stand for at the moment of expansion.
struct Values {
    QString selection;
    QString appName;
    QHash<QString, QString> answers; // question -> answer
    QString clipboard;
    QDateTime now = QDateTime::currentDateTime();
    QLocale locale;
};

QList<Token> tokens(const QString &text);
// Questions of the ask tokens, in order of first appearance, each once.
QStringList askPrompts(const QString &text);
// Reading the clipboard can stall on an unresponsive owner: only do it when
// a token needs it.
bool needsClipboard(const QString &text);
// One pass over the template as written: values go in verbatim and are never
// scanned for tokens; tokens without a value stay as written.
QString expand(const QString &text, const Values &values);

} // namespace PromptVariables

} // namespace vima
