#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

// Reading a file that someone else put where we look (a configuration, a
// desktop entry, an icon) without blocking on it or holding more of it than
// we mean to: what stands there may be a named pipe, a device or a file that
// never ends.
namespace vima::regular_file {

// The bytes of the regular file at `path` (links followed), at most `maxSize`
// of them. A named pipe, device, socket or folder is refused without being
// opened for long (the open does not wait for a writer, and what was opened is
// judged again), as is a file that is or grows larger than `maxSize`. On
// failure, none, and `failure` (when given) says why, for the user; it names
// `maxSize` in megabytes, so give at least one.
std::optional<QByteArray> read(const QString &path, qint64 maxSize, QString *failure = nullptr);

// Whether `path` (links followed) is a regular file of at most `maxSize` bytes.
bool isReadable(const QString &path, qint64 maxSize);

} // namespace vima::regular_file
