#include "store/SafeFile.h"

#include "platform/RegularFile.h"
#include "store/FileError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vima::safe_file {

namespace {

Q_LOGGING_CATEGORY(lcSafeFile, "com.vima.Vima.ConfigStore")

FileError systemError(int error = errno) { return FileError(qt_error_string(error)); }

QByteArray native(const QString &path) { return QFile::encodeName(path); }

QString quotedName(const QString &path) { return QStringLiteral("“%1”").arg(QFileInfo(path).fileName()); }

class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    Descriptor(const Descriptor &) = delete;
    Descriptor &operator=(const Descriptor &) = delete;
    ~Descriptor()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    int get() const { return fd_; }
    // Closes now, so that a failing close is seen.
    void close()
    {
        const int fd = std::exchange(fd_, -1);
        if (::close(fd) != 0)
            throw systemError();
    }

private:
    int fd_;
};

void writeAll(int fd, const QByteArray &bytes)
{
    for (qsizetype done = 0; done < bytes.size();) {
        const ssize_t written = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (written < 0 && errno == EINTR)
            continue;
        if (written < 0)
            throw systemError();
        done += written;
    }
}

// Called once the file is in place: the save is done, and a folder that
// can't be synced only leaves in doubt whether its new name survives a power
// loss. Worth a warning, not a failed save.
void syncFolder(const QString &path)
{
    const QString folder = QFileInfo(path).absolutePath();
    const Descriptor directory(::open(native(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (directory.get() >= 0 && ::fsync(directory.get()) == 0)
        return;
    const QString reason = qt_error_string(errno);
    qCWarning(lcSafeFile, "Wrote %s but could not sync its folder: %s", qUtf8Printable(quotedName(path)),
              qUtf8Printable(reason));
}

// Hidden and marked as Tavelon's, so that no copy a user keeps beside the
// file ("config.json.orig", "config.json.backup") is ever taken for one.
QString temporaryStem(const QString &path)
{
    return QStringLiteral(".%1.tavelon-").arg(QFileInfo(path).fileName());
}

// A name ".<name>.tavelon-XXXXXX" beside `path`, not yet taken as far as anyone knows.
QString hiddenName(const QString &path)
{
    static const char letters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    QString suffix;
    for (int i = 0; i < 6; ++i)
        suffix += QLatin1Char(letters[QRandomGenerator::global()->bounded(int(sizeof letters) - 1)]);
    return QFileInfo(path).absoluteDir().filePath(temporaryStem(path)) + suffix;
}

// A new file beside `path` opened for writing; its path in `name`.
int createTemporary(const QString &path, mode_t mode, QString &name)
{
    for (;;) {
        name = hiddenName(path);
        const int fd = ::open(native(name).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
}

// New bytes beside the file they are for, synced, not yet in its place:
// removed when this goes, unless released.
class Temporary {
public:
    explicit Temporary(QString path) : path_(std::move(path)) {}
    Temporary(Temporary &&other) noexcept : path_(std::exchange(other.path_, {})) {}
    ~Temporary()
    {
        if (!path_.isEmpty())
            ::unlink(native(path_).constData());
    }
    const QString &path() const { return path_; }
    QString release() { return std::exchange(path_, {}); }

private:
    QString path_;
};

// The file keeps the mode of the one it replaces, else takes `mode`.
Temporary writeTemporary(const QString &path, const QByteArray &bytes, std::optional<mode_t> mode)
{
    struct stat entry;
    const bool replacesFile = ::lstat(native(path).constData(), &entry) == 0 && S_ISREG(entry.st_mode);
    // By its mode, not by access(): a user who made the file read-only meant
    // it, also when Tavelon runs as root.
    if (replacesFile && !(entry.st_mode & S_IWUSR))
        throw FileError(QStringLiteral("%1 is read-only.").arg(quotedName(path)));
    QString name;
    Descriptor file(createTemporary(path, replacesFile ? 0600 : mode.value_or(0666), name));
    if (file.get() < 0)
        throw systemError();
    Temporary temporary(name);
    if (replacesFile && ::fchmod(file.get(), entry.st_mode & 07777) != 0)
        throw systemError();
    writeAll(file.get(), bytes);
    if (::fdatasync(file.get()) != 0)
        throw systemError();
    file.close();
    return temporary;
}

int renameWith(const QString &from, const QString &to, unsigned flags)
{
    return ::renameat2(AT_FDCWD, native(from).constData(), AT_FDCWD, native(to).constData(), flags);
}

// What stands at `path`, given a second name beside it: the same entry by a
// link, else, where the file system has no links, a copy. None when nothing stands there.
std::optional<Temporary> pin(const QString &path)
{
    struct stat entry;
    if (::lstat(native(path).constData(), &entry) != 0) {
        if (errno != ENOENT)
            throw systemError();
        return std::nullopt;
    }
    const QString pinned = hiddenName(path);
    if (::link(native(path).constData(), native(pinned).constData()) != 0)
        keepAside(path, pinned);
    return Temporary(pinned);
}

bool sameEntry(const QString &path, const QString &other)
{
    struct stat one;
    struct stat two;
    return ::lstat(native(path).constData(), &one) == 0 && ::lstat(native(other).constData(), &two) == 0
        && one.st_dev == two.st_dev && one.st_ino == two.st_ino;
}

// Whether what `pinned` holds is all that stands at `path`: the very entry,
// or the same bytes; with no pin, whether nothing stands there still.
bool stillPinned(const std::optional<Temporary> &pinned, const QString &path)
{
    if (!pinned) {
        struct stat entry;
        return ::lstat(native(path).constData(), &entry) != 0 && errno == ENOENT;
    }
    if (sameEntry(path, pinned->path()))
        return true;
    try {
        return read(path) == read(pinned->path());
    } catch (const FileError &) {
        return false;
    }
}

// An outside save may land anywhere in a save's steps; past this many in a row it is told, not outrun.
constexpr int maxAttempts = 10;

// Where the file system can't change places: what stands at `path` is pinned
// first, and must still stand there right before the rename; whatever took
// its place meanwhile is pinned instead. Returns the pin's path (empty when
// nothing stood there); none when `mayReplace` says no.
std::optional<QString> renameKeepingSecondName(Temporary &temporary, const QString &path,
                                               const std::function<bool()> &mayReplace)
{
    for (int attempt = 1;; ++attempt) {
        std::optional<Temporary> pinned = pin(path);
        if (!mayReplace()) // asked again: a copy takes a while
            return std::nullopt;
        if (!stillPinned(pinned, path)) {
            if (attempt < maxAttempts)
                continue;
            throw FileError(QStringLiteral("%1 was replaced again and again while it was being saved.")
                                .arg(quotedName(path)));
        }
        if (::rename(native(temporary.path()).constData(), native(path).constData()) != 0)
            throw systemError();
        temporary.release();
        return pinned ? pinned->release() : QString();
    }
}

// Puts `temporary` in the place of `path` in one step; returns the path of
// what stood there, or empty when nothing did; none when `mayReplace` says no.
std::optional<QString> takePlace(Temporary &temporary, const QString &path, const std::function<bool()> &mayReplace)
{
    for (int attempt = 1;; ++attempt) {
        struct stat entry;
        const bool exists = ::lstat(native(path).constData(), &entry) == 0;
        if (!exists && errno != ENOENT)
            throw systemError();
        if (exists && S_ISDIR(entry.st_mode))
            throw systemError(EISDIR);
        if (renameWith(temporary.path(), path, exists ? RENAME_EXCHANGE : RENAME_NOREPLACE) == 0) {
            const QString stoodThere = temporary.release(); // the temporary's name now holds it
            return exists ? stoodThere : QString();
        }
        if ((errno == EEXIST || errno == ENOENT) && attempt < maxAttempts)
            continue; // something came or went meanwhile: look again
        if (errno != EINVAL)
            throw systemError();
        return renameKeepingSecondName(temporary, path, mayReplace);
    }
}

// The kernel grants no read lease on a file that anyone has open for writing.
bool isOpenForWriting(const QString &path)
{
    const Descriptor file(::open(native(path).constData(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC));
    struct stat info;
    if (file.get() < 0 || ::fstat(file.get(), &info) != 0 || !S_ISREG(info.st_mode))
        return false;
    return ::fcntl(file.get(), F_SETLEASE, F_RDLCK) != 0 && errno == EAGAIN; // closing lets the lease go
}

} // namespace

QByteArray read(const QString &path)
{
    QString failure;
    std::optional<QByteArray> bytes = regular_file::read(path, maxFileSize, &failure);
    if (!bytes)
        throw FileError(failure);
    return *std::move(bytes);
}

bool isReadableFile(const QString &path)
{
    return regular_file::isReadable(path, maxFileSize);
}

void writeAtomically(const QString &path, const QByteArray &bytes, std::optional<mode_t> mode)
{
    Temporary temporary = writeTemporary(path, bytes, mode);
    if (::rename(native(temporary.path()).constData(), native(path).constData()) != 0)
        throw systemError();
    temporary.release();
    syncFolder(path);
}

std::optional<Replaced> replace(const QString &path, const QByteArray &bytes,
                                const std::function<bool()> &mayReplace, std::optional<mode_t> mode)
{
    Temporary temporary = writeTemporary(path, bytes, mode);
    if (!mayReplace())
        return std::nullopt;
    const std::optional<QString> replaced = takePlace(temporary, path, mayReplace);
    if (!replaced)
        return std::nullopt;
    syncFolder(path);
    return Replaced{*replaced, !replaced->isEmpty() && isOpenForWriting(*replaced)};
}

void moveAside(const QString &from, const QString &to)
{
    if (renameWith(from, to, RENAME_NOREPLACE) == 0)
        return;
    if (errno != EINVAL && errno != EXDEV)
        throw systemError();
    // Where a rename can't refuse to replace, a link can; without links, or
    // across file systems, a copy is made.
    if (errno == EINVAL) {
        if (::link(native(from).constData(), native(to).constData()) == 0) {
            ::unlink(native(from).constData());
            return;
        }
        if (errno == EEXIST)
            throw systemError();
    }
    keepAside(from, to);
    ::unlink(native(from).constData());
}

QString writeTarget(const QString &path)
{
    const QFileInfo entry(path);
    return entry.isSymLink() && isReadableFile(path) ? entry.canonicalFilePath() : path;
}

void keepAside(const QString &path, const QString &copy)
{
    struct stat info;
    if (isReadableFile(path) && ::stat(native(path).constData(), &info) == 0) {
        writeAtomically(copy, read(path), info.st_mode & 07777);
        return;
    }
    // Not followed: a link is kept as the link it is.
    if (::linkat(AT_FDCWD, native(path).constData(), AT_FDCWD, native(copy).constData(), 0) != 0)
        throw systemError();
}

QStringList leftoverTemporaries(const QString &path)
{
    // Also the temporary of a copy that pins what a save replaces: "..<name>.tavelon-XXXXXX.tavelon-YYYYYY",
    // and that of a copy kept aside as "<name>.<time>.bak": ".<name>.<time>.bak.tavelon-XXXXXX".
    const QRegularExpression temporary(
        QStringLiteral("^(?:%1|\\.%1[A-Za-z0-9]{6}\\.tavelon-|\\.%2\\.[0-9T-]+\\.bak\\.tavelon-)[A-Za-z0-9]{6}$")
            .arg(QRegularExpression::escape(temporaryStem(path)),
                 QRegularExpression::escape(QFileInfo(path).fileName())));
    const QDir folder = QFileInfo(path).absoluteDir();
    QStringList leftovers;
    for (const QString &name : folder.entryList(QDir::Files | QDir::Hidden | QDir::NoSymLinks)) {
        if (temporary.match(name).hasMatch())
            leftovers.append(folder.filePath(name));
    }
    return leftovers;
}

} // namespace vima::safe_file
