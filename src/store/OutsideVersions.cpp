#include "store/OutsideVersions.h"

#include "store/ConfigStore.h"
#include "store/FileError.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>

namespace vima {

namespace {

Q_LOGGING_CATEGORY(lcStore, "com.vima.Vima.ConfigStore")

// The bytes of the configuration file at `path`; none when it holds no configuration.
std::optional<QByteArray> configurationAt(const QString &path)
{
    try {
        const QByteArray bytes = safe_file::read(path);
        ConfigStore::decode(bytes);
        return bytes;
    } catch (const std::exception &) {
        return std::nullopt;
    }
}

bool isConfiguration(const QString &path) { return configurationAt(path).has_value(); }

bool holdsAnotherConfiguration(const QString &path, const QByteArray &hashInPlace)
{
    const std::optional<QByteArray> bytes = configurationAt(path);
    return bytes && FileFingerprint::hashOf(*bytes) != hashInPlace; // none: a save's own bytes, cut short
}

QString nameOf(const QString &path) { return QFileInfo(path).fileName(); }

} // namespace

OutsideVersions::OutsideVersions(QString file, Scheduler &scheduler) : file_(std::move(file)), scheduler_(scheduler) {}

void OutsideVersions::clearLeftovers() const
{
    clearLeftoversBeside(file_);
    if (const QString target = safe_file::writeTarget(file_); target != file_)
        clearLeftoversBeside(target);
}

// A save cut short leaves its new bytes, or, once it changed places, the file
// it replaced (or a copy of it being made), which may be someone's outside
// save: a configuration other than the one in place is kept beside it;
// anything else goes.
void OutsideVersions::clearLeftoversBeside(const QString &path) const
{
    const QByteArray inPlace = FileFingerprint::of(path).hash;
    for (const QString &leftover : safe_file::leftoverTemporaries(path)) {
        if (!holdsAnotherConfiguration(leftover, inPlace)) {
            QFile::remove(leftover);
            continue;
        }
        const QString copy = nameForCopy();
        try {
            safe_file::moveAside(leftover, copy);
            qCWarning(lcStore, "Kept a configuration that a save cut short left as %s", qUtf8Printable(nameOf(copy)));
        } catch (const FileError &error) {
            qCWarning(lcStore, "Could not keep %s: %s", qUtf8Printable(nameOf(leftover)),
                      qUtf8Printable(error.description()));
        }
    }
}

// A new name beside the file that says when.
QString OutsideVersions::nameForCopy() const
{
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-ddTHH-mm-ss"));
    QString copy = QStringLiteral("%1.%2.bak").arg(file_, stamp);
    for (int n = 2; QFileInfo::exists(copy) || QFileInfo(copy).isSymLink(); ++n)
        copy = QStringLiteral("%1.%2-%3.bak").arg(file_, stamp).arg(n);
    return copy;
}

std::optional<QString> OutsideVersions::keepCopy(const QString &what) const
{
    const QFileInfo info(file_);
    if (!info.exists() && !info.isSymLink())
        return std::nullopt;
    const QString copy = nameForCopy();
    try {
        safe_file::keepAside(file_, copy);
    } catch (const FileError &error) {
        throw FileError(QStringLiteral("Could not keep a copy of the %1config.json (%2).").arg(what, error.description()));
    }
    qCWarning(lcStore, "Kept the %sconfig.json as %s", qUtf8Printable(what), qUtf8Printable(nameOf(copy)));
    return nameOf(copy);
}

std::optional<OutsideVersions::Told> OutsideVersions::keepReplaced(const safe_file::Replaced &replaced,
                                                                   const FileFingerprint &known,
                                                                   const QByteArray &written) const
{
    if (replaced.path.isEmpty())
        return std::nullopt;
    const FileFingerprint stood = FileFingerprint::of(replaced.path);
    if (!replaced.inUse && (stood.holdsSameContentAs(known) || stood.hash == FileFingerprint::hashOf(written))) {
        QFile::remove(replaced.path);
        return std::nullopt;
    }
    const QString raced = QStringLiteral("config.json was changed outside Tavelon while settings were being "
                                         "changed here. Your changes were saved; the other version ");
    const QString copy = nameForCopy();
    try {
        safe_file::moveAside(replaced.path, copy);
    } catch (const FileError &error) {
        // Saved all the same: only the other version's name is not the one it should have.
        qCCritical(lcStore, "Could not keep the outside config.json: %s", qUtf8Printable(error.description()));
        return Told{raced + QStringLiteral("is “%1” (%2).").arg(nameOf(replaced.path), error.description()), true};
    }
    const QString name = nameOf(copy);
    qCWarning(lcStore, "Kept the outside config.json as %s", qUtf8Printable(name));
    return Told{raced + QStringLiteral("was kept as “%1”.").arg(name)};
}

// A file that holds no configuration may be one an editor is still writing:
// a save waits until it has stayed as it is for editorPatience, or has kept
// changing for editorCeiling, then keeps it aside as any outside edit.
bool OutsideVersions::editorStillWriting(const FileFingerprint &loadedOrWritten)
{
    const FileFingerprint onDisk = FileFingerprint::of(file_);
    if (!onDisk.exists || onDisk.holdsSameAs(loadedOrWritten) || isConfiguration(file_)) {
        waitingSince_.reset();
        return false;
    }
    if (unsettled_ && onDisk.holdsSameAs(*unsettled_))
        return false;
    unsettled_ = onDisk;
    const double now = scheduler_.now();
    if (!waitingSince_)
        waitingSince_ = now;
    if (now - *waitingSince_ >= editorCeiling) {
        qCWarning(lcStore, "config.json has held no configuration for %.0f s; saving, and keeping it aside",
                  now - *waitingSince_);
        return false;
    }
    qCInfo(lcStore, "config.json holds no configuration yet; saving once it has stayed so a while");
    return true;
}

void OutsideVersions::settled()
{
    unsettled_.reset();
    waitingSince_.reset();
}

} // namespace vima
