#include "model/KeystrokeScript.h"

namespace vima {

namespace {

QString script(const QString &application, const QString &key, const QString &modifiers)
{
    return QStringLiteral("tell %1 to activate\n"
                          "delay 0.05\n"
                          "tell application \"System Events\" to keystroke %2 using {%3}")
        .arg(application, appleScriptStringLiteral(key), modifiers);
}

} // namespace

QString keystrokeScript(const QString &key, const QString &modifiers, const QString &bundleID)
{
    return script(QStringLiteral("application id ") + appleScriptStringLiteral(bundleID), key,
                  modifiers);
}

QString safariKeystrokeScript(const QString &key, const QString &modifiers)
{
    return script(QStringLiteral("application \"Safari\""), key, modifiers);
}

QString appleScriptStringLiteral(const QString &text)
{
    QString escaped = text;
    escaped.replace(u'\\', QLatin1String("\\\\"));
    escaped.replace(u'"', QLatin1String("\\\""));
    return u'"' + escaped + u'"';
}

} // namespace vima
