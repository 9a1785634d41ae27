#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QStringList>

// The clipboard as another program (xclip) sees it.
namespace clipboard_contents {

struct Output {
    int exitCode = -1;
    QByteArray out;
};

// Runs a tool while the caller's event loop keeps answering for the clipboard.
Output runTool(const QString &program, const QStringList &arguments, const QByteArray &input = {});

// Every format on the clipboard with its bytes.
QMap<QString, QByteArray> read();

// What changed since `before`: formats that came or went, and formats whose
// contents differ. Images are compared as pictures: Qt's ICO writer leaves
// padding unset, so those bytes change from read to read.
QStringList changesSince(const QMap<QString, QByteArray> &before, const QMap<QString, QByteArray> &now);

} // namespace clipboard_contents
