#include "WindowArea.h"

#include <QHash>
#include <QProcess>

QRect windowArea(const QStringList &which)
{
    QProcess process;
    process.start(QStringLiteral("xwininfo"), which);
    if (!process.waitForFinished(10000) || process.exitCode() != 0)
        return {};
    QHash<QString, int> values;
    for (const QByteArray &line : process.readAllStandardOutput().split('\n')) {
        const qsizetype colon = line.indexOf(':');
        if (colon > 0)
            values.insert(QString::fromLatin1(line.left(colon).trimmed()), line.mid(colon + 1).trimmed().toInt());
    }
    return {values.value(QStringLiteral("Absolute upper-left X")), values.value(QStringLiteral("Absolute upper-left Y")),
            values.value(QStringLiteral("Width")), values.value(QStringLiteral("Height"))};
}
