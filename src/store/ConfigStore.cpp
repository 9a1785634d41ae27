#include "store/ConfigStore.h"

#include "model/DefaultRings.h"
#include "model/JsonError.h"
#include "model/JsonReader.h"
#include "model/JsonWriter.h"
#include "model/RingTemplate.h"
#include "platform/DefaultBrowser.h"
#include "platform/DesktopOpener.h"
#include "platform/PlatformError.h"
#include "store/ConfigError.h"
#include "store/RepeatedIDs.h"
#include "store/FileError.h"
#include "store/SafeFile.h"

#include <QCoroTask>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <utility>
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

// A new file is the user's alone: it may hold the password of an Ollama
// address. An existing one keeps its mode.
constexpr mode_t newFileMode = 0600;

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
    : QObject(parent), directory_(std::move(directory)), scheduler_(scheduler), versions_(filePath(), scheduler)
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
    giveRepeatedIDsTheirOwn(config);
    return config;
}

VimaConfig ConfigStore::makeDefaultConfig()
{
    const QString language = QStringLiteral("Spanish");
    VimaConfig config;
    config.rings = RingTemplate::defaultTemplate().makeRings(8, language);
    config.rings.append(defaultContextRings(language, DefaultBrowser::desktopID()));
    return config;
}

void ConfigStore::load()
{
    const QString path = filePath();
    versions_.clearLeftovers();
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

void ConfigStore::saveBeforeQuit()
{
    if (hasPendingChange())
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
            safe_file::replace(target, bytes, [this, mayWait] { return !mayWait || !waitForEditor(); }, newFileMode);
        if (!replaced)
            return;
        versions_.settled();
        replaceLink_ = false;
        markSynced(FileFingerprint::of(filePath(), bytes));
        setLastError(std::nullopt);
        tellWhereUnreadableFileWent();
        const std::optional<OutsideVersions::Told> told = versions_.keepReplaced(*replaced, known, bytes);
        if (told && told->failed)
            setLastError(told->text);
        else if (told)
            setNotice(told->text);
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

// The file that failed to load may hold rings the user wrote by hand: it goes
// aside before anything takes its place.
void ConfigStore::keepCopyOfUnreadableFile()
{
    if (!unreadableFileToKeep_)
        return;
    // Told once the save that replaces it has landed.
    keptUnreadableAs_ = keepCopyOfFile(QStringLiteral("unreadable "));
    unreadableFileToKeep_ = false;
}

// The banner that said the file was left untouched went with the save: this
// one says where the file went.
void ConfigStore::tellWhereUnreadableFileWent()
{
    if (const std::optional<QString> copy = std::exchange(keptUnreadableAs_, std::nullopt))
        setNotice(QStringLiteral("config.json could not be read, so it was kept as “%1” before your changes "
                                 "were saved in its place.")
                      .arg(*copy));
}

// A copy beside "config.json", under a name that says when; none when there
// is no file. Returns the copy's file name.
std::optional<QString> ConfigStore::keepCopyOfFile(const QString &what)
{
    std::optional<QString> copy = versions_.keepCopy(what);
    if (!copy)
        return std::nullopt;
    noticeLinkLeadingElsewhere();
    known_ = FileFingerprint::of(filePath()); // what was there is safe now
    return copy;
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
// the file's place. Returns whether it waits.
bool ConfigStore::waitForEditor()
{
    if (!versions_.editorStillWriting(loadedOrWritten_))
        return false;
    saveLater(OutsideVersions::editorPatience);
    return true;
}

void ConfigStore::exportConfig(const QString &destination) const
{
    safe_file::writeAtomically(safe_file::writeTarget(destination), encode(config_), newFileMode);
}

QCoro::Task<void> ConfigStore::revealInFinder()
{
    if (opener_)
        co_await opener_->reveal(filePath());
}

} // namespace vima
