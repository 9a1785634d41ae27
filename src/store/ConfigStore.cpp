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

#include <QCoroTask>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QPointer>
#include <QSaveFile>
#include <QStandardPaths>

namespace vima {

namespace {

Q_LOGGING_CATEGORY(lcStore, "com.vima.Vima.ConfigStore")

const QString fileName = QStringLiteral("config.json");

QByteArray readFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw FileError(file.errorString());
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw FileError(file.errorString());
    return bytes;
}

void makeFolder(const QString &folder)
{
    if (!QDir().mkpath(folder))
        throw FileError(QStringLiteral("The folder “%1” could not be created.").arg(folder));
}

void writeAtomically(const QString &path, const QByteArray &bytes)
{
    // By its mode, not by access(): a user who made the file read-only meant
    // it, also when Tavelon runs as root.
    const QFileInfo existing(path);
    if (existing.exists() && !(existing.permissions() & QFileDevice::WriteOwner))
        throw FileError(QStringLiteral("“%1” is read-only.").arg(existing.fileName()));
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        throw FileError(file.errorString());
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
    if (saveTimer_)
        scheduler_.cancel(*saveTimer_);
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
    const QFileInfo file(filePath());
    if (!file.exists() && !file.isSymLink()) {
        setConfig(makeDefaultConfig());
        isFirstLaunch_ = true;
        save();
        return;
    }
    try {
        // No hotkey is migrated: X11 reserves no combination, and the one the
        // file format's home platform reserves (Control-Option-Space) is free here.
        const VimaConfig loaded = decode(readFile(file.filePath()));
        setConfig(loaded);
        markSynced();
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
    setLastError(QStringLiteral("Could not read config.json (%1). Using defaults; your file was "
                                "left untouched.")
                     .arg(reason));
    loadFailed_ = true;
    unreadableFileToKeep_ = true;
}

void ConfigStore::save()
{
    if (loadFailed_)
        return; // never write the stand-in defaults over the file that failed to load
    // Nothing changed here: the file keeps its own bytes (unknown keys, a
    // byte-order mark, its layout, edits made while Tavelon runs).
    if (synced_ && config_ == syncedConfig_)
        return;
    try {
        makeFolder(directory_);
        const QByteArray bytes = encode(config_);
        keepCopyOfUnreadableFile();
        writeAtomically(filePath(), bytes);
        markSynced();
        setLastError(std::nullopt);
    } catch (const FileError &error) {
        reportSaveFailure(error.description());
    } catch (const JsonError &error) {
        reportSaveFailure(error.description());
    }
}

void ConfigStore::markSynced()
{
    synced_ = true;
    syncedConfig_ = config_;
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

// A copy beside "config.json", under a name that says when; none when there is no file.
void ConfigStore::keepCopyOfFile(const QString &what)
{
    const QString source = filePath();
    const QFileInfo info(source);
    if (!info.exists() && !info.isSymLink())
        return;
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-ddTHH-mm-ss"));
    QString copy = QStringLiteral("%1.%2.bak").arg(source, stamp);
    for (int n = 2; QFileInfo::exists(copy); ++n)
        copy = QStringLiteral("%1.%2-%3.bak").arg(source, stamp).arg(n);
    QFile original(source);
    if (!original.copy(copy))
        throw FileError(QStringLiteral("Could not keep a copy of the %1config.json (%2).")
                            .arg(what, original.errorString()));
    qCWarning(lcStore, "Kept the %sconfig.json as %s", qUtf8Printable(what), qUtf8Printable(QFileInfo(copy).fileName()));
}

void ConfigStore::importConfig(const QString &source)
{
    const VimaConfig imported = decode(readFile(source));
    makeFolder(directory_);
    if (!unreadableFileToKeep_) // else the save keeps it
        keepCopyOfFile(QStringLiteral("replaced "));
    replaceAndSave(imported);
}

void ConfigStore::resetToDefaults() { replaceAndSave(makeDefaultConfig()); }

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

void ConfigStore::scheduleSave()
{
    loadFailed_ = false; // a changed configuration may be written, also over a bad file
    if (saveTimer_)
        scheduler_.cancel(*saveTimer_);
    saveTimer_ = scheduler_.schedule(saveDelay, [store = QPointer<ConfigStore>(this)] {
        if (store)
            store->save();
    });
}

void ConfigStore::exportConfig(const QString &destination) const
{
    writeAtomically(destination, encode(config_));
}

void ConfigStore::revealInFinder()
{
    if (!opener_)
        return;
    [](DesktopOpener &opener, QString path) -> QCoro::Task<void> {
        try {
            co_await opener.reveal(path);
        } catch (const PlatformError &error) {
            qCWarning(lcStore, "Could not show config.json: %s", qUtf8Printable(error.description()));
        }
    }(*opener_, filePath());
}

} // namespace vima
