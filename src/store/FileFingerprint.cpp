#include "store/FileFingerprint.h"

#include "store/FileError.h"
#include "store/SafeFile.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <sys/stat.h>

namespace vima {

namespace {

FileFingerprint statOf(const QString &path)
{
    struct stat info;
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return {};
    return {true, qint64(info.st_size), qint64(info.st_mtim.tv_sec) * 1'000'000'000 + info.st_mtim.tv_nsec, {},
            QFileInfo(path).canonicalFilePath()};
}

} // namespace

FileFingerprint FileFingerprint::of(const QString &path)
{
    try {
        return of(path, safe_file::read(path));
    } catch (const FileError &) {
        return statOf(path);
    }
}

FileFingerprint FileFingerprint::of(const QString &path, const QByteArray &bytes)
{
    FileFingerprint fingerprint = statOf(path);
    fingerprint.hash = hashOf(bytes);
    return fingerprint;
}

bool FileFingerprint::holdsSameAs(const FileFingerprint &other) const
{
    return target == other.target && holdsSameContentAs(other);
}

bool FileFingerprint::holdsSameContentAs(const FileFingerprint &other) const
{
    if (exists != other.exists)
        return false;
    if (!hash.isEmpty() && !other.hash.isEmpty())
        return hash == other.hash;
    return size == other.size && modified == other.modified && hash == other.hash;
}

QByteArray FileFingerprint::hashOf(const QByteArray &bytes)
{
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256);
}

} // namespace vima
