#include "platform/RegularFile.h"

#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vima::regular_file {

namespace {

QString quotedName(const QString &path) { return QStringLiteral("“%1”").arg(QFileInfo(path).fileName()); }

QString tooLarge(const QString &path, qint64 maxSize)
{
    return QStringLiteral("%1 is larger than %2 MB.").arg(quotedName(path)).arg(maxSize >> 20);
}

std::optional<QByteArray> fail(QString *failure, QString why)
{
    if (failure)
        *failure = std::move(why);
    return std::nullopt;
}

// Why `info` names nothing read() would take; none when it would.
std::optional<QString> refusal(const QString &path, const struct stat &info, qint64 maxSize)
{
    const mode_t kind = info.st_mode & S_IFMT;
    const char *what = kind == S_IFDIR ? "a folder"
        : kind == S_IFIFO              ? "a named pipe"
        : kind == S_IFCHR || kind == S_IFBLK ? "a device"
        : kind == S_IFSOCK             ? "a socket"
        : kind == S_IFREG              ? nullptr
                                       : "not a regular file";
    if (what)
        return QStringLiteral("%1 is %2, not a file.").arg(quotedName(path), QLatin1String(what));
    if (info.st_size > maxSize)
        return tooLarge(path, maxSize);
    return std::nullopt;
}

} // namespace

std::optional<QByteArray> read(const QString &path, qint64 maxSize, QString *failure)
{
    const QByteArray native = QFile::encodeName(path);
    struct stat info;
    if (::stat(native.constData(), &info) != 0)
        return fail(failure, qt_error_string(errno));
    if (auto why = refusal(path, info, maxSize))
        return fail(failure, *why);
    // Not blocking: the entry may have become a named pipe since the stat.
    const int fd = ::open(native.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    const auto closeFile = qScopeGuard([fd] {
        if (fd >= 0)
            ::close(fd);
    });
    if (fd < 0 || ::fstat(fd, &info) != 0)
        return fail(failure, qt_error_string(errno));
    if (auto why = refusal(path, info, maxSize))
        return fail(failure, *why);
    QByteArray bytes;
    bytes.reserve(qsizetype(info.st_size));
    char buffer[65536];
    for (;;) {
        const ssize_t count = ::read(fd, buffer, sizeof buffer);
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0)
            return fail(failure, qt_error_string(errno));
        if (count == 0)
            return bytes;
        if (bytes.size() + count > maxSize) // it grows as it is read
            return fail(failure, tooLarge(path, maxSize));
        bytes.append(buffer, count);
    }
}

bool isReadable(const QString &path, qint64 maxSize)
{
    struct stat info;
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 && !refusal(path, info, maxSize);
}

} // namespace vima::regular_file
