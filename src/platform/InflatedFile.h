#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

// Reading a file that may be gzip-compressed (a .svgz icon) under the same
// rule as any other file from the user's folders, with a ceiling on what it
// inflates to: a file of under a megabyte can inflate to a gigabyte.
namespace vima::inflated_file {

// The bytes of the regular file at `path`, read as regular_file::read reads
// it (at most `maxFileSize` of them), inflated when they are gzip data. None
// when the file is refused, when the inflated bytes would pass `maxSize`, when
// the gzip data is damaged or when it holds gzip data again (what comes back
// is never compressed); `failure` (when given) then says why, for the user.
std::optional<QByteArray> read(const QString &path, qint64 maxFileSize, qint64 maxSize,
                               QString *failure = nullptr);

// `bytes` inflated when they are gzip data (as read() does), else as they are.
std::optional<QByteArray> inflate(const QByteArray &bytes, qint64 maxSize, QString *failure = nullptr);

} // namespace vima::inflated_file
