#include "TextTargetClient.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QTest>

namespace text_target {

void command(SupportProgram &target, const QByteArray &line)
{
    target.send(line);
    QCOMPARE(target.waitForLine(QStringLiteral("ok")), QStringLiteral("ok"));
}

QString text(SupportProgram &target)
{
    target.send("text");
    const QString line = target.waitForLine(QStringLiteral("text "));
    // The text comes as one JSON string.
    return QJsonDocument::fromJson("[" + line.mid(5).toUtf8() + "]").array().at(0).toString();
}

} // namespace text_target
