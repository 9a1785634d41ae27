#include "model/Keystroke.h"

#include "model/KeystrokeScript.h"

#include <QRegularExpression>

namespace vima {

namespace {

QString unescaped(const QString &literal)
{
    QString text;
    for (qsizetype i = 0; i < literal.size(); ++i) {
        if (literal[i] == u'\\' && i + 1 < literal.size())
            ++i;
        text.append(literal[i]);
    }
    return text;
}

} // namespace

std::optional<Keystroke> Keystroke::parse(const QString &source)
{
    static const QRegularExpression form(QStringLiteral(
        R"re(^tell application (id )?"((?:[^"\\]|\\.)*)" to activate\n)re"
        R"re(delay 0\.05\n)re"
        R"re(tell application "System Events" to (?:keystroke "((?:[^"\\]|\\.)+)"|key code (\d{1,3})) using \{([a-z ,]*)\}$)re"));
    const QRegularExpressionMatch match = form.match(source);
    if (!match.hasMatch())
        return std::nullopt;
    const auto flags = appleScriptModifierFlags(match.captured(5));
    if (!flags)
        return std::nullopt;
    Keystroke keystroke{unescaped(match.captured(2)), !match.hasCaptured(1), {}};
    keystroke.chord.modifierFlags = *flags;
    if (match.hasCaptured(4)) {
        keystroke.chord.key = match.captured(4).toUInt();
        return keystroke;
    }
    // One character, as a key types it; a string would be typing, not a shortcut.
    const QString key = unescaped(match.captured(3));
    if (key.toUcs4().size() != 1)
        return std::nullopt;
    keystroke.chord.key = key;
    return keystroke;
}

} // namespace vima
