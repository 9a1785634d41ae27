#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>
#include <sys/types.h>

// File reading and writing that neither blocks, nor reads without end, nor
// says a save went well when it didn't. Every failure throws FileError with
// the system's own words.
namespace vima::safe_file {

// Far above any real configuration, far below what would hurt to hold in memory.
constexpr qint64 maxFileSize = 64 * 1024 * 1024;

// The bytes of a regular file (links followed) of at most maxFileSize;
// named pipes, devices, sockets and folders are refused without being opened
// for long (a named pipe is opened without waiting for a writer).
QByteArray read(const QString &path);

// Whether `path` (links followed) is a regular file that read() would take.
bool isReadableFile(const QString &path);

// Replaces the entry at `path` by `bytes`: a temporary file
// ".<name>.tavelon-XXXXXX" beside it, synced, renamed over it, and the folder synced. The file keeps
// the replaced one's mode, else takes `mode` (the umask applies). Leaves no
// temporary file behind on failure. A folder that can't be synced once the
// file is in place is logged, not thrown: the write is done.
void writeAtomically(const QString &path, const QByteArray &bytes, std::optional<mode_t> mode = {});

// What a save took the place of: the very file, under a hidden name beside
// the new one, so that writes still under way go on into it. For the caller
// to keep or remove; empty when nothing stood there.
struct Replaced {
    QString path;
    // Someone still has it open for writing: an editor that is not done.
    bool inUse = false;
};

// Writes `bytes` as writeAtomically() does (a new file takes `mode`), but changes places in one step
// with whatever stands at `path` at that instant (anything but a folder) and
// hands it back instead of removing it. Where the file system can't change
// places, what stands there is first given a second name (a link, else a
// copy) and must still stand there right before the rename: whatever took
// its place meanwhile is handed back instead. `mayReplace` is asked right
// before: when it says no, nothing changes and none is returned.
std::optional<Replaced> replace(const QString &path, const QByteArray &bytes,
                                const std::function<bool()> &mayReplace, std::optional<mode_t> mode = {});

// Gives the entry at `from` the new name `to`, never in the place of another
// entry; across file systems, or where there are no links, a copy is kept and
// `from` removed.
void moveAside(const QString &from, const QString &to);

// Where writing `path` should go: a link to a regular file is written through
// (the target's path); anything else is replaced where it stands.
QString writeTarget(const QString &path);

// Keeps the entry at `path` as `copy` (a new name): the bytes of a file that
// read() takes, or else the entry itself by a hard link, which reads nothing.
void keepAside(const QString &path, const QString &copy);

// The temporary files that a save of `path` cut short left beside it: its
// new bytes, what it had just replaced, or a copy of that being made, also
// one being kept aside as "<name>.<time>.bak".
QStringList leftoverTemporaries(const QString &path);

} // namespace vima::safe_file
