#include "model/ToolScript.h"

namespace vima {

namespace {

QString indented(const QString &commands)
{
    return QStringLiteral("  ") + QString(commands).replace(u'\n', QStringLiteral("\n  ")) + u'\n';
}

QString test(const ToolChoice &choice)
{
    QStringList checks;
    for (const QString &tool : choice.tools)
        checks.append(QStringLiteral("command -v %1 >/dev/null 2>&1").arg(tool));
    if (!choice.condition.isEmpty())
        checks.append(choice.condition);
    return checks.join(QStringLiteral(" && "));
}

} // namespace

QString ToolChoice::firstInstalled(const QList<ToolChoice> &choices, const QString &otherwise)
{
    QString script;
    for (const ToolChoice &choice : choices) {
        script += (script.isEmpty() ? QStringLiteral("if ") : QStringLiteral("elif ")) + test(choice)
            + QStringLiteral("; then\n") + indented(choice.commands);
    }
    return script + QStringLiteral("else\n") + indented(otherwise) + QStringLiteral("fi\n");
}

QString ToolChoice::failWith(const QString &message)
{
    return QStringLiteral("echo %1 >&2\nexit 127").arg(quoted(message));
}

QString ToolChoice::quoted(const QString &text)
{
    return u'\'' + QString(text).replace(u'\'', QStringLiteral("'\\''")) + u'\'';
}

} // namespace vima
