#pragma once

#include "async/Scheduler.h"
#include "model/IconSpec.h"
#include "model/RingItem.h"
#include "model/SavedGroup.h"
#include "model/VimaConfig.h"
#include "store/FileFingerprint.h"
#include "store/OutsideVersions.h"
#include "store/SafeFile.h"

#include <QByteArray>
#include <QCoroTask>
#include <QHash>
#include <QList>
#include <QObject>
#include <QSet>
#include <QString>
#include <QUuid>
#include <functional>
#include <memory>
#include <optional>
#include <type_traits>
#include <utility>

class QFileSystemWatcher;

namespace vima {

class DesktopOpener;
struct RingTemplate;

// The one owner of the live configuration: finds, loads, migrates, publishes
// and saves "config.json", and carries out every edit the settings and the
// first-run window ask for. Lives on the GUI thread.
class ConfigStore final : public QObject {
    Q_OBJECT

public:
    static constexpr double saveDelay = 0.4; // seconds of quiet before a requested save
    static constexpr double outsideCheckDelay = 0.2; // seconds of quiet before an edit on disk is looked at

    // Loads "config.json" from `directory` at once; never fails.
    explicit ConfigStore(QString directory = directoryURL(),
                         Scheduler &scheduler = Scheduler::system(), QObject *parent = nullptr);
    ~ConfigStore() override;

    const VimaConfig &config() const { return config_; }
    // Publishes; does not save.
    void setConfig(const VimaConfig &config);
    // Applies `change` to a copy of the configuration; only when that changed
    // anything, publishes it and asks for a debounced save. Returns whether it did.
    bool edit(const std::function<void(VimaConfig &)> &change);
    // Calls `apply` with `slice` of the configuration at once, then each time
    // the published configuration's slice differs from the one last applied,
    // for as long as `context` lives. `slice` is a member pointer of VimaConfig
    // or a callable taking the configuration.
    template <typename Slice, typename Apply>
    void watch(const QObject *context, Slice slice, Apply apply);
    // The banner text of the last failed load or save; none when it went well.
    const std::optional<QString> &lastError() const { return lastError_; }
    void setLastError(const std::optional<QString> &message);
    // What the user should know although nothing failed: where a version of
    // the file edited outside was kept. Told until the file is next loaded or
    // another outside version is kept.
    const std::optional<QString> &notice() const { return notice_; }
    // True only when loading found no configuration file.
    bool isFirstLaunch() const { return isFirstLaunch_; }
    // True while the defaults in use stand in for a file that failed to load.
    bool loadFailed() const { return loadFailed_; }

    QString directory() const { return directory_; }
    QString filePath() const;

    // Writes at once; reports failures through lastError and the log. The
    // file changed on disk since this store read or wrote it is first loaded
    // when nothing waits to be saved here, else kept aside.
    void save();
    // As the process ends: writes a change made here, as save() does, but
    // leaves an edit on disk unread, as nothing would use it.
    void saveBeforeQuit();
    // From now on, an edit of the file on disk is loaded as soon as it is
    // quiet, unless a change made here waits to be saved.
    void watchForOutsideEdits();
    // Saves `saveDelay` after the last request; later while the file on disk
    // is still being written by someone else.
    void scheduleSave();
    // Writes the configuration, encoded as by save(), atomically to `destination`.
    // Throws FileError (or the encoder's error); the store's state does not change.
    void exportConfig(const QString &destination) const;
    // Replaces the whole configuration by the one in `source` (decoded as it
    // is: no migration) and saves at once, after keeping a copy of the
    // "config.json" it replaces beside it. Throws FileError, JsonError or
    // ConfigError and changes nothing when the file cannot be taken.
    void importConfig(const QString &source);
    // Replaces the whole configuration by the first launch's and saves at
    // once, after keeping a copy as an import does. When no copy can be kept,
    // changes nothing, reports through lastError and returns false.
    bool resetToDefaults();
    // Shows "config.json" selected in the file manager through the opener
    // the composition root gave (nothing without one). Throws PlatformError
    // when nothing could show it.
    QCoro::Task<void> revealInFinder();
    void setDesktopOpener(DesktopOpener *opener) { opener_ = opener; }

    // The folder that holds "config.json" (the XDG config home's "Vima").
    static QString directoryURL();
    // Pretty-printed JSON, keys sorted, slashes unescaped.
    static QByteArray encode(const VimaConfig &config);
    // Reads a configuration file's bytes, refusing a newer format version
    // (ConfigError); throws on any other failure too. An id repeated in a
    // list reads as one of its own (giveRepeatedIDsTheirOwn).
    static VimaConfig decode(const QByteArray &bytes);
    static VimaConfig makeDefaultConfig();

    // Editing operations. Each publishes its change and asks for a debounced
    // save; an operation that cannot apply changes nothing. A ring id that
    // names no ring (or none) means the primary ring.
    std::optional<qsizetype> ringIndex(const QUuid &ringID) const;
    // The first page's index; inserts an empty "Default" page when there is none.
    qsizetype primaryRingIndex();
    qsizetype itemsOpeningRing(const QUuid &ringID) const;
    void appendItem(const RingItem &item, const std::optional<QUuid> &ringID = {});
    void setRingSlotCount(std::optional<qint64> count, const std::optional<QUuid> &ringID = {});
    // Gives every item of every ring a slot of its own.
    void normalizeSlots();
    void removeItems(const QSet<QUuid> &itemIDs, const std::optional<QUuid> &ringID = {});
    void moveItem(const QUuid &itemID, qint64 slot, const std::optional<QUuid> &ringID = {});
    std::optional<SavedGroup> saveRingAsPack(const QUuid &ringID,
                                             const std::optional<QString> &name = {},
                                             const std::optional<IconSpec> &icon = {});
    void deleteSavedGroup(const QUuid &groupID);
    // Replaces an application's slot by a pack of its suggested actions plus
    // an item that opens the application; returns the slot that opens the pack.
    std::optional<RingItem> turnAppItemIntoPack(const QUuid &itemID,
                                                const std::optional<QUuid> &ringID,
                                                const QList<RingItem> &suggestions,
                                                const QString &appName, const IconSpec &appIcon);
    void deleteRing(const QUuid &ringID);
    // Installs a starter ring on the primary page and saves at once.
    void applyTemplate(const RingTemplate &ringTemplate);
    // What applyTemplate would take away: the first page's items (none
    // without a page) and the packs that only they open, in ring order.
    struct TemplateReplacement {
        qsizetype itemCount = 0;
        QList<Ring> removedPacks;
    };
    TemplateReplacement templateReplacement() const;

Q_SIGNALS:
    void configChanged();
    void lastErrorChanged();
    void noticeChanged();

private:
    void load();
    // `mayWait`: a debounced save, which lets an editor still writing the file finish.
    void write(bool mayWait);
    void saveLater(double delay);
    bool waitForEditor();
    void fallBackToDefaults(const QString &reason);
    bool hasPendingChange() const;
    void takeOutsideEdit();
    void refuseOutsideEdit(const QString &reason);
    void keepCopyOfUnreadableFile();
    void tellWhereUnreadableFileWent();
    std::optional<QString> keepCopyOfFile(const QString &what);
    void keepReplacedFile();
    void noticeLinkLeadingElsewhere();
    void replaceAndSave(const VimaConfig &config);
    void reportSaveFailure(const QString &reason);
    void setNotice(const std::optional<QString> &notice);
    void markSynced(const FileFingerprint &onDisk);
    void watchFile();
    void follow(const QString &path, bool wanted);
    void outsideChangeSeen();
    // Publishes `config` and asks for a debounced save.
    void commit(const VimaConfig &config);
    qsizetype targetRingIndex(const std::optional<QUuid> &ringID);
    qint64 capacity(const Ring &ring) const;

    VimaConfig config_;
    std::optional<QString> lastError_;
    bool isFirstLaunch_ = false;
    bool loadFailed_ = false;
    // The file that failed to load is copied aside before it is first written over.
    bool unreadableFileToKeep_ = false;
    // The copy of the unreadable file a save kept aside, until that save lands.
    std::optional<QString> keptUnreadableAs_;
    // The configuration the file held when this store last read or wrote it:
    // a save writes only when the configuration differs from it.
    bool synced_ = false;
    VimaConfig syncedConfig_;
    // What the file held when this store last read or wrote it.
    FileFingerprint known_;
    // The same, but not moved on by an outside edit that was refused or kept aside.
    FileFingerprint loadedOrWritten_;
    // The file failed to load, or a link there leads elsewhere than when this
    // store last read or wrote it: the link is replaced, not written through.
    bool replaceLink_ = false;
    std::optional<QString> notice_;
    QString directory_;
    Scheduler &scheduler_;
    OutsideVersions versions_;
    QFileSystemWatcher *watcher_ = nullptr;
    // Which file or folder each watched path stood for when its watch was set.
    QHash<QString, QString> watched_;
    DesktopOpener *opener_ = nullptr;
    std::optional<Scheduler::TimerId> saveTimer_;
    std::optional<Scheduler::TimerId> outsideCheckTimer_;
};

template <typename Slice, typename Apply>
void ConfigStore::watch(const QObject *context, Slice slice, Apply apply)
{
    using Value = std::decay_t<std::invoke_result_t<Slice, const VimaConfig &>>;
    auto applied = std::make_shared<Value>(std::invoke(slice, config_));
    apply(std::as_const(*applied));
    connect(this, &ConfigStore::configChanged, context, [this, slice, apply, applied]() mutable {
        Value current = std::invoke(slice, config_);
        if (current == *applied)
            return;
        *applied = std::move(current);
        apply(std::as_const(*applied));
    });
}

} // namespace vima
