#include "platform/x11/XdgApplicationCatalog.h"

#include "platform/x11/DesktopEntry.h"

#include <QCollator>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <sys/stat.h>

namespace vima {
namespace {

const QString suffix = QStringLiteral(".desktop");

QString environment(const char *name)
{
    return qEnvironmentVariable(name);
}

// When a folder last changed (an entry added, removed or renamed in it), in
// nanoseconds; -1 when it can't be seen.
qint64 changeStamp(const QString &folder)
{
    struct stat info;
    if (::stat(QFile::encodeName(folder).constData(), &info) != 0)
        return -1;
    return qint64(info.st_mtim.tv_sec) * 1'000'000'000 + info.st_mtim.tv_nsec;
}

QList<qint64> changeStamps(const QStringList &folders)
{
    QList<qint64> stamps;
    stamps.reserve(folders.size());
    for (const QString &folder : folders)
        stamps << changeStamp(folder);
    return stamps;
}

// Relative paths under applications/, in a fixed order so that two files that
// map to the same id ("a-b.desktop", "a/b.desktop") always resolve alike. The
// subfolders seen go to `subfolders`, each with its stamp taken before it is listed.
QStringList desktopFiles(const QString &folder, QStringList &subfolders, QList<qint64> &stamps)
{
    QStringList relative;
    const QDir root(folder);
    // AllDirs: the name filter is for files only. It also enters hidden
    // folders, whose entries are not ours.
    QDirIterator it(folder, {QStringLiteral("*.desktop")}, QDir::Files | QDir::AllDirs | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories | QDirIterator::FollowSymlinks);
    while (it.hasNext()) {
        const QString path = it.next();
        const QString inside = root.relativeFilePath(path);
        if (inside.startsWith(u'.') || inside.contains(QStringLiteral("/.")))
            continue;
        if (it.fileInfo().isDir()) {
            subfolders << path;
            stamps << changeStamp(path);
        } else {
            relative << inside;
        }
    }
    relative.sort();
    return relative;
}

// Every relative path whose desktop-file id is `id` ("a-b.desktop" may be
// "a-b.desktop" or "a/b.desktop"), sorted as desktopFiles() sorts them. None
// for an id with so many dashes that a listing is cheaper.
std::optional<QStringList> candidatePaths(const QString &id)
{
    constexpr int maxDashes = 6;
    QList<qsizetype> dashes;
    for (qsizetype i = 0; i < id.size(); ++i) {
        if (id.at(i) == u'-')
            dashes << i;
    }
    if (dashes.size() > maxDashes)
        return std::nullopt;
    QStringList paths;
    for (quint32 mask = 0; mask < (1u << dashes.size()); ++mask) {
        QString path = id;
        for (qsizetype bit = 0; bit < dashes.size(); ++bit) {
            if (mask & (1u << bit))
                path[dashes.at(bit)] = u'/';
        }
        paths << path;
    }
    paths.sort();
    return paths;
}

// An identifier is a file name, never a path: "../../x" or ".hidden" would
// otherwise read a desktop file from outside the applications folders.
bool isDesktopFileId(const QString &bundleID)
{
    return !bundleID.isEmpty() && !bundleID.startsWith(u'.') && !bundleID.contains(u'/')
        && !bundleID.contains(QChar(0));
}

} // namespace

XdgApplicationCatalog::XdgApplicationCatalog(QStringList dataDirs, QString locale)
    : dataDirs_(std::move(dataDirs)), locale_(std::move(locale)), watched_(folders()), stamps_(changeStamps(watched_))
{
}

QStringList XdgApplicationCatalog::standardDataDirs()
{
    QString home = environment("XDG_DATA_HOME");
    if (!QDir::isAbsolutePath(home))
        home = QDir::homePath() + QStringLiteral("/.local/share");
    QString system = environment("XDG_DATA_DIRS");
    if (system.isEmpty())
        system = QStringLiteral("/usr/local/share:/usr/share");

    QStringList dirs{QDir::cleanPath(home)};
    for (const QString &dir : system.split(u':', Qt::SkipEmptyParts)) {
        // Relative entries are invalid and ignored.
        if (QDir::isAbsolutePath(dir) && !dirs.contains(QDir::cleanPath(dir)))
            dirs << QDir::cleanPath(dir);
    }
    return dirs;
}

QString XdgApplicationCatalog::messagesLocale()
{
    for (const char *name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const QString value = environment(name);
        if (!value.isEmpty())
            return value;
    }
    return {};
}

void XdgApplicationCatalog::forEachFile(const std::function<void(const File &)> &visit, QStringList &subfolders,
                                        QList<qint64> &stamps) const
{
    QSet<QString> seen;
    for (const QString &dir : dataDirs_) {
        const QString folder = dir + QStringLiteral("/applications");
        for (const QString &relative : desktopFiles(folder, subfolders, stamps)) {
            QString id = relative;
            id.replace(u'/', u'-');
            if (seen.contains(id))
                continue;
            seen.insert(id);
            visit({id, folder + u'/' + relative});
        }
    }
}

std::optional<DesktopApp> XdgApplicationCatalog::load(const File &file) const
{
    const auto entry = DesktopEntry::read(file.path);
    if (!entry || entry->value(QStringLiteral("Type")) != u"Application" || entry->boolean(QStringLiteral("Hidden")))
        return std::nullopt;

    DesktopApp app;
    app.bundleID = file.id.chopped(suffix.size());
    app.name = entry->localizedValue(QStringLiteral("Name"), locale_);
    if (app.name.isEmpty())
        app.name = QFileInfo(file.path).fileName().chopped(suffix.size());
    app.exec = entry->value(QStringLiteral("Exec"));
    app.icon = entry->localizedValue(QStringLiteral("Icon"), locale_);
    app.workingDirectory = entry->value(QStringLiteral("Path"));
    app.filePath = file.path;
    app.startupWMClass = entry->value(QStringLiteral("StartupWMClass"));
    app.categories = entry->list(QStringLiteral("Categories"));
    app.terminal = entry->boolean(QStringLiteral("Terminal"));
    app.noDisplay = entry->boolean(QStringLiteral("NoDisplay"));
    return app;
}

std::optional<DesktopApp> XdgApplicationCatalog::find(const QString &bundleID) const
{
    if (!isDesktopFileId(bundleID))
        return std::nullopt;
    const QString wanted = bundleID + suffix;
    if (const auto candidates = candidatePaths(wanted)) {
        // A few file checks per folder instead of listing every folder.
        for (const QString &dir : dataDirs_) {
            for (const QString &relative : *candidates) {
                const QString path = dir + QStringLiteral("/applications/") + relative;
                if (QFileInfo(path).isFile())
                    return load({wanted, path});
            }
        }
        return std::nullopt;
    }
    for (const DesktopApp &app : entries()) {
        if (app.bundleID == bundleID)
            return app;
    }
    return std::nullopt;
}

QStringList XdgApplicationCatalog::folders() const
{
    QStringList folders;
    for (const QString &dir : dataDirs_)
        folders << dir << dir + QStringLiteral("/applications");
    return folders;
}

void XdgApplicationCatalog::refreshStamps() const
{
    QList<qint64> stamps = changeStamps(watched_);
    if (stamps == stamps_)
        return;
    stamps_ = std::move(stamps);
    entries_.reset();
    ++revision_;
}

quint64 XdgApplicationCatalog::revision() const
{
    const QMutexLocker lock(&stateMutex_);
    refreshStamps();
    return revision_;
}

QList<DesktopApp> XdgApplicationCatalog::entries() const
{
    // One read at a time; the state stays free meanwhile, so that revision()
    // (asked on the GUI thread) never waits for a read on a worker.
    const QMutexLocker reading(&readMutex_);
    {
        const QMutexLocker lock(&stateMutex_);
        refreshStamps();
        if (entries_)
            return *entries_;
    }
    QStringList watched = folders();
    QList<qint64> stamps = changeStamps(watched);
    QList<DesktopApp> apps;
    forEachFile(
        [&](const File &file) {
            if (auto app = load(file))
                apps << *std::move(app);
        },
        watched, stamps);
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::stable_sort(apps.begin(), apps.end(), [&](const DesktopApp &a, const DesktopApp &b) {
        return collator.compare(a.name, b.name) < 0;
    });
    const QMutexLocker lock(&stateMutex_);
    // Read from folders that changed since they were last looked at: whoever
    // holds what was found missing then must look again.
    if (watched != watched_ || stamps != stamps_)
        ++revision_;
    watched_ = std::move(watched);
    stamps_ = std::move(stamps);
    entries_ = apps;
    return apps;
}

QList<DesktopApp> XdgApplicationCatalog::all() const
{
    QList<DesktopApp> apps = entries();
    apps.removeIf([](const DesktopApp &app) { return app.noDisplay; });
    return apps;
}

} // namespace vima
