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

// One format as a requestor reads it that takes each chunk of a large one in
// small pieces, and deletes the chunk only once it has all of it. Blocks the
// caller: the owner must be another thread or program.
struct Pieces {
    QByteArray data;
    int chunks = 0; // how many chunks it came in; 0 when it came whole
    bool complete = false;
};
Pieces readInPieces(const char *target);

// What changed since `before`: formats that came or went, and formats whose
// contents differ. Images are compared as pictures: Qt's ICO writer leaves
// padding unset, so those bytes change from read to read.
QStringList changesSince(const QMap<QString, QByteArray> &before, const QMap<QString, QByteArray> &now);

} // namespace clipboard_contents
