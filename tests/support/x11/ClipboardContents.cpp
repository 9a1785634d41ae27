#include "ClipboardContents.h"

#include <QDeadlineTimer>
#include <QImage>
#include <QProcess>
#include <QTest>

namespace clipboard_contents {

Output runTool(const QString &program, const QStringList &arguments, const QByteArray &input)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForStarted())
        return {};
    process.write(input);
    process.closeWriteChannel();
    const QDeadlineTimer deadline(10000);
    while (process.state() != QProcess::NotRunning && !deadline.hasExpired())
        QTest::qWait(5);
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1, process.readAllStandardOutput()};
}

QMap<QString, QByteArray> read()
{
    const Output targets = runTool(QStringLiteral("xclip"), {"-selection", "clipboard", "-o", "-t", "TARGETS"});
    QMap<QString, QByteArray> contents;
    if (targets.exitCode != 0)
        return contents;
    const QStringList protocol{"TARGETS", "MULTIPLE", "TIMESTAMP", "SAVE_TARGETS"};
    for (const QString &target : QString::fromUtf8(targets.out).split(u'\n', Qt::SkipEmptyParts)) {
        if (!protocol.contains(target))
            contents.insert(target, runTool(QStringLiteral("xclip"), {"-selection", "clipboard", "-o", "-t", target}).out);
    }
    return contents;
}

QStringList changesSince(const QMap<QString, QByteArray> &before, const QMap<QString, QByteArray> &now)
{
    if (before.keys() != now.keys())
        return {QStringLiteral("formats %1 -> %2").arg(before.keys().join(u' '), now.keys().join(u' '))};
    QStringList changed;
    for (auto it = before.cbegin(); it != before.cend(); ++it) {
        const QByteArray &after = now.value(it.key());
        if (after == it.value())
            continue;
        const bool image = it.key().startsWith(QLatin1String("image/"));
        if (!image || QImage::fromData(after) != QImage::fromData(it.value()) || QImage::fromData(after).isNull())
            changed.append(it.key());
    }
    return changed;
}

} // namespace clipboard_contents
