#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace vima {

// POSIX sh for a built-in action that runs the first of several tools found
// installed: the tools differ from one Linux desktop to the next.
struct ToolChoice {
    QStringList tools;  // all of them must be installed
    QString condition;  // a further test for this choice, or empty
    QString commands;   // run when chosen; may span lines

    // `if command -v … then … elif … else otherwise fi`, one branch per choice.
    static QString firstInstalled(const QList<ToolChoice> &choices, const QString &otherwise);
    // Commands that print `message` on standard error and fail.
    static QString failWith(const QString &message);
    // `text` as one single-quoted shell word.
    static QString quoted(const QString &text);
};

} // namespace vima
