#include "store/ConfigStore.h"

#include "model/DefaultRings.h"
#include "model/JsonError.h"
#include "model/JsonReader.h"
#include "model/JsonWriter.h"
#include "model/RingTemplate.h"
#include "platform/DesktopOpener.h"
#include "platform/PlatformError.h"
#include "store/ConfigError.h"
#include "store/FileError.h"
#include "store/SafeFile.h"

#include <QCoroTask>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QLoggingCategory>
#include <QPointer>
#include <QStandardPaths>
#include <sys/stat.h>

namespace vima {

namespace {

Q_LOGGING_CATEGORY(lcStore, "com.vima.Vima.ConfigStore")

const QString fileName = QStringLiteral("config.json");

void makeFolder(const QString &folder)
{
    if (!QDir().mkpath(folder))
        throw FileError(QStringLiteral("The folder “%1” could not be created.").arg(folder));
}

QString readFailure(const QString &reason, const QString &inUse)
{
    return QStringLiteral("Could not read config.json (%1). %2; your file was left untouched.").arg(reason, inUse);
}

const QString usingDefaults = QStringLiteral("Using defaults");

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

// Which file or folder stands at `path`; empty when none does.
QString identityOf(const QString &path)
{
    struct stat info;
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return {};
    return QStringLiteral("%1:%2").arg(quint64(info.st_dev)).arg(quint64(info.st_ino));
}

} // namespace

ConfigStore::ConfigStore(QString directory, Scheduler &scheduler, QObject *parent)
    : QObject(parent), directory_(std::move(directory)),
      scheduler_(scheduler)
{
    load();
}

ConfigStore::~ConfigStore()
{
    for (const std::optional<Scheduler::TimerId> &timer : {saveTimer_, outsideCheckTimer_}) {
        if (timer)
            scheduler_.cancel(*timer);
    }
}

void ConfigStore::setConfig(const VimaConfig &config)
{
    if (config_ == config)
        return;
    config_ = config;
    Q_EMIT configChanged();
}

bool ConfigStore::edit(const std::function<void(VimaConfig &)> &change)
{
    VimaConfig next = config_;
    change(next);
    if (next == config_)
        return false;
    setConfig(next);
    scheduleSave();
    return true;
}

void ConfigStore::setLastError(const std::optional<QString> &message)
{
    if (lastError_ == message)
        return;
    lastError_ = message;
    Q_EMIT lastErrorChanged();
}

void ConfigStore::setNotice(const std::optional<QString> &notice)
{
    if (notice_ == notice)
        return;
    notice_ = notice;
    Q_EMIT noticeChanged();
}

QString ConfigStore::filePath() const { return directory_ + QLatin1Char('/') + fileName; }

QString ConfigStore::directoryURL()
{
    QString base = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    if (base.isEmpty())
        base = QDir::homePath() + QStringLiteral("/.config");
    return base + QStringLiteral("/Vima");
}

QByteArray ConfigStore::encode(const VimaConfig &config)
{
    return JsonWriter::encode(config);
}

VimaConfig ConfigStore::decode(const QByteArray &bytes)
{
    VimaConfig config = VimaConfig::fromJson(JsonReader::parse(bytes));
    if (config.version >= 2)
        throw ConfigError::futureVersion(config.version);
    return config;
}

VimaConfig ConfigStore::makeDefaultConfig()
{
    const QString language = QStringLiteral("Spanish");
    VimaConfig config;
    config.rings = RingTemplate::defaultTemplate().makeRings(8, language);
    config.rings.append(defaultContextRings(language));
    return config;
}

void ConfigStore::load()
{
    const QString path = filePath();
    clearLeftovers(path);
    if (const QString target = safe_file::writeTarget(path); target != path)
        clearLeftovers(target);
    const QFileInfo file(path);
    if (!file.exists() && !file.isSymLink()) {
        setConfig(makeDefaultConfig());
        isFirstLaunch_ = true;
        save();
        return;
    }
    try {
        // No hotkey is migrated: X11 reserves no combination, and the one the
        // file format's home platform reserves (Control-Option-Space) is free here.
        const QByteArray bytes = safe_file::read(path);
        const VimaConfig loaded = decode(bytes);
        setConfig(loaded);
        markSynced(FileFingerprint::of(path, bytes));
        setLastError(std::nullopt);
    } catch (const ConfigError &error) {
        fallBackToDefaults(error.description());
    } catch (const FileError &error) {
        fallBackToDefaults(error.description());
    } catch (const JsonError &error) {
        fallBackToDefaults(error.description());
    }
}

// A save cut short leaves its new bytes, or, once it changed places, the file
// it replaced, which may be someone's outside save: a configuration other
// than the one in place is kept beside it; anything else goes.
void ConfigStore::clearLeftovers(const QString &path)
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
            qCWarning(lcStore, "Kept a configuration that a save cut short left as %s",
                      qUtf8Printable(QFileInfo(copy).fileName()));
        } catch (const FileError &error) {
            qCWarning(lcStore, "Could not keep %s: %s", qUtf8Printable(QFileInfo(leftover).fileName()),
                      qUtf8Printable(error.description()));
        }
    }
}

void ConfigStore::fallBackToDefaults(const QString &reason)
{
    qCCritical(lcStore, "Falling back to defaults: %s", qUtf8Printable(reason));
    setConfig(makeDefaultConfig());
    setLastError(readFailure(reason, usingDefaults));
    known_ = loadedOrWritten_ = FileFingerprint::of(filePath());
    loadFailed_ = true;
    unreadableFileToKeep_ = true;
    replaceLink_ = true;
}

bool ConfigStore::hasPendingChange() const
{
    return !loadFailed_ && !(synced_ && config_ == syncedConfig_);
}

void ConfigStore::save()
{
    write(false);
}

void ConfigStore::write(bool mayWait)
{
    if (!hasPendingChange()) {
        // The file that failed to load is never overwritten by the defaults
        // that stood in for it; nothing else is written without a change.
        takeOutsideEdit();
        return;
    }
    if (mayWait && waitForEditor())
        return;
    try {
        makeFolder(directory_);
        const QByteArray bytes = encode(config_);
        noticeLinkLeadingElsewhere();
        const QString target = replaceLink_ ? filePath() : safe_file::writeTarget(filePath());
        keepCopyOfUnreadableFile();
        const FileFingerprint known = known_;
        const std::optional<safe_file::Replaced> replaced =
            safe_file::replace(target, bytes, [this, mayWait] { return !mayWait || !waitForEditor(); });
        if (!replaced)
            return;
        unsettled_.reset();
        replaceLink_ = false;
        markSynced(FileFingerprint::of(filePath(), bytes));
        setLastError(std::nullopt);
        keepReplacedUnlessKnown(*replaced, known, bytes);
        if (!FileFingerprint::of(filePath()).holdsSameAs(known_))
            outsideChangeSeen(); // saved over ours at once: taken once it is quiet
    } catch (const FileError &error) {
        reportSaveFailure(error.description());
    } catch (const JsonError &error) {
        reportSaveFailure(error.description());
    }
    watchFile();
}

void ConfigStore::markSynced(const FileFingerprint &onDisk)
{
    synced_ = true;
    syncedConfig_ = config_;
    known_ = loadedOrWritten_ = onDisk;
}

// Nothing waits to be saved here and the file changed on disk: it is taken
// as it now is; a file that can't be taken changes nothing and is told.
void ConfigStore::takeOutsideEdit()
{
    const QString path = filePath();
    const FileFingerprint onDisk = FileFingerprint::of(path);
    const bool unchanged = onDisk.holdsSameAs(known_);
    known_ = onDisk;
    if (unchanged || !onDisk.exists)
        return; // removed: the next change made here writes it again
    try {
        const QByteArray bytes = safe_file::read(path);
        const VimaConfig loaded = decode(bytes);
        qCInfo(lcStore, "Loaded config.json as changed on disk");
        setConfig(loaded);
        markSynced(FileFingerprint::of(path, bytes));
        loadFailed_ = unreadableFileToKeep_ = replaceLink_ = false;
        setNotice(std::nullopt);
        setLastError(std::nullopt);
    } catch (const ConfigError &error) {
        refuseOutsideEdit(error.description());
    } catch (const FileError &error) {
        refuseOutsideEdit(error.description());
    } catch (const JsonError &error) {
        refuseOutsideEdit(error.description());
    }
}

void ConfigStore::refuseOutsideEdit(const QString &reason)
{
    qCCritical(lcStore, "Could not take config.json as changed on disk: %s", qUtf8Printable(reason));
    unreadableFileToKeep_ = replaceLink_ = true;
    setLastError(readFailure(reason, loadFailed_ ? usingDefaults : QStringLiteral("Keeping the settings in use")));
}

// What a save took the place of goes when it holds what this store last read
// or wrote, or what it has just written. Anything else is someone's outside
// save that raced this one, or a file an editor is still writing: kept whole
// beside "config.json" and told.
void ConfigStore::keepReplacedUnlessKnown(const safe_file::Replaced &replaced, const FileFingerprint &known,
                                          const QByteArray &bytes)
{
    if (replaced.path.isEmpty())
        return;
    const FileFingerprint stood = FileFingerprint::of(replaced.path);
    if (!replaced.inUse && (stood.holdsSameContentAs(known) || stood.hash == FileFingerprint::hashOf(bytes))) {
        QFile::remove(replaced.path);
        return;
    }
    const QString copy = nameForCopy();
    try {
        safe_file::moveAside(replaced.path, copy);
    } catch (const FileError &error) {
        // Saved all the same: only the other version's name is not the one it should have.
        qCCritical(lcStore, "Could not keep the outside config.json: %s", qUtf8Printable(error.description()));
        setLastError(QStringLiteral("config.json was changed outside Tavelon while settings were being changed "
                                    "here. Your changes were saved; the other version is “%1” (%2).")
                         .arg(QFileInfo(replaced.path).fileName(), error.description()));
        return;
    }
    const QString name = QFileInfo(copy).fileName();
    qCWarning(lcStore, "Kept the outside config.json as %s", qUtf8Printable(name));
    setNotice(QStringLiteral("config.json was changed outside Tavelon while settings were being changed "
                             "here. Your changes were saved; the other version was kept as “%1”.")
                  .arg(name));
}

// The file that failed to load may hold rings the user wrote by hand: it goes
// aside before anything takes its place.
void ConfigStore::keepCopyOfUnreadableFile()
{
    if (!unreadableFileToKeep_)
        return;
    keepCopyOfFile(QStringLiteral("unreadable "));
    unreadableFileToKeep_ = false;
}

// A new name beside "config.json" that says when.
QString ConfigStore::nameForCopy() const
{
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-ddTHH-mm-ss"));
    QString copy = QStringLiteral("%1.%2.bak").arg(filePath(), stamp);
    for (int n = 2; QFileInfo::exists(copy) || QFileInfo(copy).isSymLink(); ++n)
        copy = QStringLiteral("%1.%2-%3.bak").arg(filePath(), stamp).arg(n);
    return copy;
}

// A copy beside "config.json", under a name that says when; none when there
// is no file. Returns the copy's name.
QString ConfigStore::keepCopyOfFile(const QString &what)
{
    const QString source = filePath();
    const QFileInfo info(source);
    if (!info.exists() && !info.isSymLink())
        return {};
    const QString copy = nameForCopy();
    try {
        safe_file::keepAside(source, copy);
    } catch (const FileError &error) {
        throw FileError(QStringLiteral("Could not keep a copy of the %1config.json (%2).")
                            .arg(what, error.description()));
    }
    const QString name = QFileInfo(copy).fileName();
    qCWarning(lcStore, "Kept the %sconfig.json as %s", qUtf8Printable(what), qUtf8Printable(name));
    noticeLinkLeadingElsewhere();
    known_ = FileFingerprint::of(source); // what was there is safe now
    return name;
}

// A link is written through only into the file this store last read or
// wrote: one re-pointed since may lead to any file, a system one when run as root.
void ConfigStore::noticeLinkLeadingElsewhere()
{
    const QString target = safe_file::writeTarget(filePath());
    if (target != filePath() && target != known_.target)
        replaceLink_ = true;
}

void ConfigStore::keepReplacedFile()
{
    makeFolder(directory_);
    if (unreadableFileToKeep_)
        keepCopyOfUnreadableFile();
    else
        keepCopyOfFile(QStringLiteral("replaced "));
}

void ConfigStore::importConfig(const QString &source)
{
    const VimaConfig imported = decode(safe_file::read(source));
    keepReplacedFile();
    replaceAndSave(imported);
}

bool ConfigStore::resetToDefaults()
{
    try {
        keepReplacedFile();
    } catch (const FileError &error) {
        reportSaveFailure(error.description());
        return false;
    }
    replaceAndSave(makeDefaultConfig());
    return true;
}

void ConfigStore::replaceAndSave(const VimaConfig &config)
{
    setConfig(config);
    scheduleSave();
    save();
}

// A refusal that goes on (a read-only file) is told once, not at every save.
void ConfigStore::reportSaveFailure(const QString &reason)
{
    const QString message = QStringLiteral("Could not save config.json: %1").arg(reason);
    if (lastError_ != message)
        qCCritical(lcStore, "Save failed: %s", qUtf8Printable(reason));
    setLastError(message);
}

void ConfigStore::watchForOutsideEdits()
{
    if (watcher_)
        return;
    watcher_ = new QFileSystemWatcher(this);
    connect(watcher_, &QFileSystemWatcher::fileChanged, this, &ConfigStore::outsideChangeSeen);
    connect(watcher_, &QFileSystemWatcher::directoryChanged, this, [this](const QString &path) {
        // From the folder above, only whether "Vima" came, went or was replaced.
        if (path == directory_ || watched_.value(directory_) != identityOf(directory_))
            outsideChangeSeen();
    });
    watchFile();
}

// inotify: no wake-ups at rest. A watch follows a folder or file, not its
// name: one renamed away takes its watch along, so each watch moves to what
// now stands at its path. The folder sees editors that save by renaming, the
// one above it a "Vima" renamed away and made anew; only a regular file is
// watched itself (a device may never rest).
void ConfigStore::watchFile()
{
    if (!watcher_)
        return;
    const QString parent = QFileInfo(directory_).absolutePath();
    follow(parent, QFileInfo(parent).isDir());
    follow(directory_, QFileInfo(directory_).isDir());
    follow(filePath(), safe_file::isReadableFile(filePath()));
}

// Watches what stands at `path` now when `wanted`, and nothing that stood there before.
void ConfigStore::follow(const QString &path, bool wanted)
{
    const QString identity = wanted ? identityOf(path) : QString();
    const bool watched = watcher_->files().contains(path) || watcher_->directories().contains(path);
    if (watched_.value(path) == identity && watched == !identity.isEmpty())
        return;
    if (watched)
        watcher_->removePath(path);
    watched_.remove(path);
    if (!identity.isEmpty() && watcher_->addPath(path))
        watched_.insert(path, identity);
}

// An editor may write in steps: the file is looked at once it is quiet.
void ConfigStore::outsideChangeSeen()
{
    if (outsideCheckTimer_)
        scheduler_.cancel(*outsideCheckTimer_);
    outsideCheckTimer_ = scheduler_.schedule(outsideCheckDelay, [store = QPointer<ConfigStore>(this)] {
        if (!store)
            return;
        store->watchFile();
        if (!store->hasPendingChange())
            store->takeOutsideEdit();
    });
}

void ConfigStore::scheduleSave()
{
    loadFailed_ = false; // a changed configuration may be written, also over a bad file
    saveLater(saveDelay);
}

void ConfigStore::saveLater(double delay)
{
    if (saveTimer_)
        scheduler_.cancel(*saveTimer_);
    saveTimer_ = scheduler_.schedule(delay, [store = QPointer<ConfigStore>(this)] {
        if (store)
            store->write(true);
    });
}

// Looked at before a debounced save writes, and again right before it takes
// the file's place: a file changed since this store loaded or wrote it that
// holds no configuration may be one an editor is still writing. The save
// waits until it has stayed as it is for editorPatience, then keeps it aside
// as any outside edit. Returns whether it waits.
bool ConfigStore::waitForEditor()
{
    const QString path = filePath();
    const FileFingerprint onDisk = FileFingerprint::of(path);
    if (!onDisk.exists || onDisk.holdsSameAs(loadedOrWritten_) || (unsettled_ && onDisk.holdsSameAs(*unsettled_))
        || isConfiguration(path))
        return false;
    qCInfo(lcStore, "config.json holds no configuration yet; saving once it has stayed so a while");
    unsettled_ = onDisk;
    saveLater(editorPatience);
    return true;
}

void ConfigStore::exportConfig(const QString &destination) const
{
    safe_file::writeAtomically(safe_file::writeTarget(destination), encode(config_));
}

QCoro::Task<void> ConfigStore::revealInFinder()
{
    if (opener_)
        co_await opener_->reveal(filePath());
}

} // namespace vima
