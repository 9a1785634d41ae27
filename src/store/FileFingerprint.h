#pragma once

#include <QByteArray>
#include <QString>

namespace vima {

// What a file held when it was last looked at: enough to tell whether
// someone else has changed it since.
struct FileFingerprint {
    bool exists = false;
    qint64 size = 0;
    qint64 modified = 0; // nanoseconds since the epoch
    QByteArray hash;     // of the content; empty when it can't be read safely
    QString target;      // the file itself, links followed; empty when there is none

    bool operator==(const FileFingerprint &) const = default;
    // Whether this is the file `other` saw, holding what it saw: by content
    // when both could be read (a touch is no edit), else by size and time.
    bool holdsSameAs(const FileFingerprint &other) const;
    // The same, wherever either file stands.
    bool holdsSameContentAs(const FileFingerprint &other) const;

    // What stands at `path` now, links followed.
    static FileFingerprint of(const QString &path);
    // The same, for `bytes` just read from or written to `path`.
    static FileFingerprint of(const QString &path, const QByteArray &bytes);
    static QByteArray hashOf(const QByteArray &bytes);
};

} // namespace vima
