#include "platform/x11/XdgApplicationCatalog.h"

#include "platform/x11/DesktopEntry.h"

#include <QCollator>
#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QSet>

namespace vima {
namespace {

const QString suffix = QStringLiteral(".desktop");

QString environment(const char *name)
{
    return qEnvironmentVariable(name);
}

// Relative paths under applications/, in a fixed order so that two files that
// map to the same id ("a-b.desktop", "a/b.desktop") always resolve alike.
QStringList desktopFiles(const QString &folder)
{
    QStringList relative;
    const QDir root(folder);
    QDirIterator it(folder, {QStringLiteral("*.desktop")}, QDir::Files,
                    QDirIterator::Subdirectories | QDirIterator::FollowSymlinks);
    while (it.hasNext())
        relative << root.relativeFilePath(it.next());
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
    : dataDirs_(std::move(dataDirs)), locale_(std::move(locale))
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

void XdgApplicationCatalog::forEachFile(const std::function<bool(const File &)> &visit) const
{
    QSet<QString> seen;
    for (const QString &dir : dataDirs_) {
        const QString folder = dir + QStringLiteral("/applications");
        for (const QString &relative : desktopFiles(folder)) {
            QString id = relative;
            id.replace(u'/', u'-');
            if (seen.contains(id))
                continue;
            seen.insert(id);
            if (!visit({id, folder + u'/' + relative}))
                return;
        }
    }
}

std::optional<DesktopApp> XdgApplicationCatalog::load(const File &file) const
{
    const auto entry = DesktopEntry::read(file.path);
    if (!entry || entry->value(QStringLiteral("Type")) != u"Application"
        || entry->boolean(QStringLiteral("Hidden")) || entry->boolean(QStringLiteral("NoDisplay")))
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
    std::optional<DesktopApp> found;
    forEachFile([&](const File &file) {
        if (file.id != wanted)
            return true;
        found = load(file);
        return false;
    });
    return found;
}

QStringList XdgApplicationCatalog::folders() const
{
    QStringList folders;
    for (const QString &dir : dataDirs_)
        folders << dir << dir + QStringLiteral("/applications");
    return folders;
}

QList<DesktopApp> XdgApplicationCatalog::all() const
{
    QList<DesktopApp> apps;
    forEachFile([&](const File &file) {
        if (auto app = load(file))
            apps << *std::move(app);
        return true;
    });
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::stable_sort(apps.begin(), apps.end(), [&](const DesktopApp &a, const DesktopApp &b) {
        return collator.compare(a.name, b.name) < 0;
    });
    return apps;
}

} // namespace vima
