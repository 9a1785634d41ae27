#include "platform/x11/XdgApplicationCatalog.h"

#include "platform/x11/DesktopEntry.h"
#include "platform/x11/DesktopExec.h"

#include <QCollator>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QMutex>
#include <QSet>
#include <QStandardPaths>
#include <atomic>
#include <condition_variable>
#include <ctime>
#include <mutex>
#include <sys/stat.h>
#include <thread>

namespace vima {
namespace {

Q_LOGGING_CATEGORY(lcCatalog, "com.vima.Vima.Applications")

const QString suffix = QStringLiteral(".desktop");

// A folder changed within this long before a read may change again in the
// same tick of its file system's clock (a few ms on Linux, 2 s on FAT)
// without its stamp moving: it is read again next time.
constexpr qint64 settleNanoseconds = 2'000'000'000;
constexpr qint64 unsettled = -2; // never a stamp: the folder counts as changed

QString environment(const char *name)
{
    return qEnvironmentVariable(name);
}

qint64 nanoseconds(const timespec &time) { return qint64(time.tv_sec) * 1'000'000'000 + time.tv_nsec; }

// When a folder last changed (an entry added, removed or renamed in it), in
// nanoseconds; -1 when it can't be seen.
qint64 changeStamp(const QString &folder)
{
    struct stat info;
    if (::stat(QFile::encodeName(folder).constData(), &info) != 0)
        return -1;
    return nanoseconds(info.st_mtim);
}

QList<qint64> changeStamps(const QStringList &folders)
{
    QList<qint64> stamps;
    stamps.reserve(folders.size());
    for (const QString &folder : folders)
        stamps << changeStamp(folder);
    return stamps;
}

qint64 wallClock()
{
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    return nanoseconds(now);
}

bool isInside(const QString &canonical, const QString &canonicalRoot)
{
    const QString prefix = canonicalRoot.endsWith(u'/') ? canonicalRoot : canonicalRoot + u'/';
    return canonical.startsWith(prefix);
}

// The desktop files under one applications/ folder, as relative paths in a
// fixed order, so that two files that map to the same id ("a-b.desktop",
// "a/b.desktop") always resolve alike. A subfolder counts when it lies inside
// the folder once links are resolved, isn't hidden, is at most maxDepth down
// and isn't one of the folders it lies in (a loop). The folders entered go to
// `folders`, each with its stamp taken before it is listed.
class Listing {
public:
    Listing(const std::atomic_bool &stop, QStringList &folders, QList<qint64> &stamps)
        : stop_(stop), folders_(folders), stamps_(stamps)
    {
    }

    QStringList desktopFiles(const QString &root)
    {
        QStringList relative;
        const QString canonicalRoot = QFileInfo(root).canonicalFilePath();
        if (canonicalRoot.isEmpty()) {
            folders_ << root;
            stamps_ << -1;
            return relative;
        }
        QStringList within{canonicalRoot};
        visit(root, QString(), canonicalRoot, within, relative);
        relative.sort();
        return relative;
    }

    bool wasCut() const { return foldersLeft_ < 0 || entriesLeft_ < 0; }

private:
    // `within`: the canonical paths of the folder and of those it lies in.
    void visit(const QString &folder, const QString &prefix, const QString &canonicalRoot, QStringList &within,
               QStringList &relative)
    {
        if (--foldersLeft_ < 0)
            return;
        folders_ << folder;
        stamps_ << changeStamp(folder);
        // Without QDir::Hidden: a hidden folder's entries are not ours.
        QDirIterator it(folder, {QStringLiteral("*.desktop")}, QDir::Files | QDir::AllDirs | QDir::NoDotAndDotDot);
        QStringList subfolders;
        while (it.hasNext() && !stop_) {
            it.next();
            const QFileInfo info = it.fileInfo();
            if (info.isDir()) {
                if (within.size() <= XdgApplicationCatalog::maxDepth)
                    subfolders << info.fileName();
            } else if (--entriesLeft_ < 0) {
                return;
            } else {
                relative << prefix + info.fileName();
            }
        }
        subfolders.sort();
        for (const QString &name : std::as_const(subfolders)) {
            const QString path = folder + u'/' + name;
            const QString canonical = QFileInfo(path).canonicalFilePath();
            if (stop_ || !isInside(canonical, canonicalRoot) || within.contains(canonical))
                continue;
            within << canonical;
            visit(path, prefix + name + u'/', canonicalRoot, within, relative);
            within.removeLast();
        }
    }

    const std::atomic_bool &stop_;
    QStringList &folders_;
    QList<qint64> &stamps_;
    int foldersLeft_ = XdgApplicationCatalog::maxFolders;
    int entriesLeft_ = XdgApplicationCatalog::maxEntries;
};

// Whether the listing would enter the folder that holds `relative`.
bool isEntered(const QString &root, const QString &relative)
{
    const qsizetype depth = relative.count(u'/');
    if (depth == 0)
        return true;
    if (depth > XdgApplicationCatalog::maxDepth || relative.contains(QStringLiteral("/.")))
        return false;
    const QString canonicalRoot = QFileInfo(root).canonicalFilePath();
    const QString canonical = QFileInfo(root + u'/' + relative).canonicalPath();
    return !canonicalRoot.isEmpty() && isInside(canonical, canonicalRoot);
}

// GLib's rule: the first of the session's desktops that the entry names
// decides; when it names none of them, only an entry without OnlyShowIn shows.
bool isShownIn(const DesktopEntry &entry, const QStringList &desktops)
{
    const QStringList only = entry.list(QStringLiteral("OnlyShowIn"));
    const QStringList notIn = entry.list(QStringLiteral("NotShowIn"));
    for (const QString &desktop : desktops) {
        if (only.contains(desktop))
            return true;
        if (notIn.contains(desktop))
            return false;
    }
    return only.isEmpty();
}

// TryExec names the program whose absence means the application isn't installed.
bool isInstalled(const DesktopEntry &entry)
{
    const QString program = entry.value(QStringLiteral("TryExec"));
    if (program.isEmpty())
        return true;
    const QString path = QDir::isAbsolutePath(program) ? program : QStandardPaths::findExecutable(program);
    const QFileInfo info(path);
    return !path.isEmpty() && info.isFile() && info.isExecutable();
}

// The file name of the program an Exec line runs.
QString programOf(const QString &exec)
{
    const auto command = DesktopExec::split(exec);
    return command && !command->isEmpty() ? QFileInfo(command->constFirst()).fileName() : QString();
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

// What one read found.
struct Read {
    QList<DesktopApp> entries; // every entry, NoDisplay ones too, sorted by name
    QStringList folders;       // every folder looked at, and every data dir
    QList<qint64> stamps;      // their stamps; `unsettled` for one changed just before the read
};

struct XdgApplicationCatalog::State {
    QStringList dataDirs;
    QString locale;
    QStringList desktops;
    CatalogNotifier notifier;
    std::atomic_bool closing = false;
    QMutex readMutex; // one read at a time
    QMutex mutex;     // guards `last` and `revision`
    std::shared_ptr<const Read> last;
    quint64 revision = 0;
    std::mutex requestMutex; // guards `requested`
    std::condition_variable request;
    bool requested = false;
    std::thread worker; // set once, in the constructor

    std::optional<DesktopApp> load(const QString &id, const QString &path) const;
    std::shared_ptr<const Read> read() const;
    std::shared_ptr<const Read> current()
    {
        const QMutexLocker lock(&mutex);
        return last;
    }
    // The last read while none of its folders has changed, else a new one.
    std::shared_ptr<const Read> fresh();
    // Has the worker run fresh(): once more after the one under way, however
    // often it is asked meanwhile.
    void checkOnWorker();
    void work();
};

std::optional<DesktopApp> XdgApplicationCatalog::State::load(const QString &id, const QString &path) const
{
    const auto entry = DesktopEntry::read(path);
    if (!entry || entry->value(QStringLiteral("Type")) != u"Application" || entry->boolean(QStringLiteral("Hidden")))
        return std::nullopt;

    DesktopApp app;
    app.bundleID = id.chopped(suffix.size());
    app.name = entry->localizedValue(QStringLiteral("Name"), locale);
    if (app.name.isEmpty())
        app.name = QFileInfo(path).fileName().chopped(suffix.size());
    app.exec = entry->value(QStringLiteral("Exec"));
    app.program = programOf(app.exec);
    app.icon = entry->localizedValue(QStringLiteral("Icon"), locale);
    app.workingDirectory = entry->value(QStringLiteral("Path"));
    app.filePath = path;
    app.startupWMClass = entry->value(QStringLiteral("StartupWMClass"));
    app.categories = entry->list(QStringLiteral("Categories"));
    app.terminal = entry->boolean(QStringLiteral("Terminal"));
    app.unlisted = entry->boolean(QStringLiteral("NoDisplay")) || !isShownIn(*entry, desktops) || !isInstalled(*entry);
    return app;
}

std::shared_ptr<const Read> XdgApplicationCatalog::State::read() const
{
    auto found = std::make_shared<Read>();
    const qint64 began = wallClock();
    Listing listing(closing, found->folders, found->stamps);
    QSet<QString> seen;
    for (const QString &dir : dataDirs) {
        found->folders << dir;
        found->stamps << changeStamp(dir);
        const QString root = dir + QStringLiteral("/applications");
        for (const QString &relative : listing.desktopFiles(root)) {
            QString id = relative;
            id.replace(u'/', u'-');
            if (closing || seen.contains(id))
                continue;
            seen.insert(id);
            if (auto app = load(id, root + u'/' + relative))
                found->entries << *std::move(app);
        }
    }
    if (listing.wasCut())
        qCWarning(lcCatalog) << "Read the first" << maxEntries << "desktop entries in the first" << maxFolders
                             << "folders only";
    for (qint64 &stamp : found->stamps) {
        if (stamp > began - settleNanoseconds)
            stamp = unsettled;
    }
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::stable_sort(found->entries.begin(), found->entries.end(), [&](const DesktopApp &a, const DesktopApp &b) {
        return collator.compare(a.name, b.name) < 0;
    });
    return found;
}

std::shared_ptr<const Read> XdgApplicationCatalog::State::fresh()
{
    const QMutexLocker reading(&readMutex);
    const std::shared_ptr<const Read> previous = current();
    if (previous && changeStamps(previous->folders) == previous->stamps)
        return previous;
    std::shared_ptr<const Read> next = read();
    // A read cut short by closing is no list to keep.
    if (closing && previous)
        return previous;
    const bool changed = !previous || previous->entries != next->entries;
    {
        const QMutexLocker lock(&mutex);
        last = next;
        if (changed)
            ++revision;
    }
    if (changed)
        Q_EMIT notifier.revised();
    return next;
}

void XdgApplicationCatalog::State::checkOnWorker()
{
    {
        const std::lock_guard lock(requestMutex);
        requested = true;
    }
    request.notify_one();
}

void XdgApplicationCatalog::State::work()
{
    std::unique_lock lock(requestMutex);
    for (;;) {
        request.wait(lock, [this] { return requested || closing; });
        if (closing)
            return;
        requested = false;
        lock.unlock();
        fresh();
        lock.lock();
    }
}

XdgApplicationCatalog::XdgApplicationCatalog(QStringList dataDirs, QString locale, QStringList desktops)
    : state_(std::make_unique<State>())
{
    state_->dataDirs = std::move(dataDirs);
    state_->locale = std::move(locale);
    state_->desktops = std::move(desktops);
    state_->worker = std::thread([state = state_.get()] { state->work(); });
    state_->checkOnWorker();
}

XdgApplicationCatalog::~XdgApplicationCatalog()
{
    {
        const std::lock_guard lock(state_->requestMutex);
        state_->closing = true;
    }
    state_->request.notify_one();
    state_->worker.join();
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

QStringList XdgApplicationCatalog::currentDesktops()
{
    return environment("XDG_CURRENT_DESKTOP").split(u':', Qt::SkipEmptyParts);
}

std::optional<DesktopApp> XdgApplicationCatalog::find(const QString &bundleID) const
{
    if (!isDesktopFileId(bundleID))
        return std::nullopt;
    const QString wanted = bundleID + suffix;
    if (const auto candidates = candidatePaths(wanted)) {
        // A few file checks per folder instead of listing every folder.
        for (const QString &dir : std::as_const(state_->dataDirs)) {
            const QString root = dir + QStringLiteral("/applications");
            for (const QString &relative : *candidates) {
                const QString path = root + u'/' + relative;
                if (QFileInfo(path).isFile() && isEntered(root, relative))
                    return state_->load(wanted, path);
            }
        }
        return std::nullopt;
    }
    std::shared_ptr<const Read> read = state_->current();
    if (!read)
        read = state_->fresh();
    for (const DesktopApp &app : read->entries) {
        if (app.bundleID == bundleID)
            return app;
    }
    return std::nullopt;
}

namespace {

QList<DesktopApp> listed(QList<DesktopApp> apps)
{
    apps.removeIf([](const DesktopApp &app) { return app.unlisted; });
    return apps;
}

} // namespace

QList<DesktopApp> XdgApplicationCatalog::all() const
{
    return listed(state_->fresh()->entries);
}

QList<DesktopApp> XdgApplicationCatalog::latest() const
{
    return listed(latestWithUnlisted());
}

QList<DesktopApp> XdgApplicationCatalog::latestWithUnlisted() const
{
    state_->checkOnWorker();
    const std::shared_ptr<const Read> read = state_->current();
    return read ? read->entries : QList<DesktopApp>();
}

quint64 XdgApplicationCatalog::revision() const
{
    state_->checkOnWorker();
    const QMutexLocker lock(&state_->mutex);
    return state_->revision;
}

const CatalogNotifier *XdgApplicationCatalog::notifier() const
{
    return &state_->notifier;
}

} // namespace vima
