#include "platform/x11/IconThemeLookup.h"

#include "platform/RegularFile.h"

#include <QDir>
#include <QFile>
#include <algorithm>
#include <limits>
#include <optional>
#include <sys/stat.h>

namespace vima {

namespace {

const QString fallbackTheme = QStringLiteral("hicolor");

// In the order the rules prefer them.
const QStringList extensions{QStringLiteral(".png"), QStringLiteral(".svg"), QStringLiteral(".xpm")};

// A name from a file: one folder name, never a way out of the base folder.
bool isFolderName(const QString &name)
{
    return !name.isEmpty() && !name.startsWith(u'.') && !name.contains(u'/') && !name.contains(QChar(0));
}

bool isFolder(const QString &path)
{
    struct stat info;
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 && S_ISDIR(info.st_mode);
}

} // namespace

IconThemeLookup::IconThemeLookup(QStringList baseDirs, QStringList pixmapDirs, QString theme, qint64 maxFileSize)
    : baseDirs_(std::move(baseDirs))
    , pixmapDirs_(std::move(pixmapDirs))
    , theme_(std::move(theme))
    , maxFileSize_(maxFileSize)
{
}

QString IconThemeLookup::find(const QString &name, int size, int scale) const
{
    if (name.isEmpty() || name.contains(u'/') || name.contains(QChar(0)))
        return {};
    QStringList visited;
    QString found = findInTree(theme_, name, size, scale, visited);
    if (found.isEmpty() && !visited.contains(fallbackTheme)) {
        QStringList fallbackVisited; // however many themes the first tree took
        found = findInTree(fallbackTheme, name, size, scale, fallbackVisited);
    }
    return found.isEmpty() ? findUnthemed(name) : found;
}

QStringList IconThemeLookup::standardBaseDirs(const QStringList &dataDirs)
{
    QStringList dirs;
    for (const QString &dir : dataDirs)
        dirs << dir + QStringLiteral("/icons");
    // The folder of older desktops, after the user's own data dir.
    dirs.insert(std::min<qsizetype>(1, dirs.size()), QDir::homePath() + QStringLiteral("/.icons"));
    return dirs;
}

QStringList IconThemeLookup::standardPixmapDirs(const QStringList &dataDirs)
{
    QStringList dirs;
    for (const QString &dir : dataDirs)
        dirs << dir + QStringLiteral("/pixmaps");
    if (const QString system = QStringLiteral("/usr/share/pixmaps"); !dirs.contains(system))
        dirs << system;
    return dirs;
}

// Depth first through what each theme inherits, each theme once: themes may
// inherit from each other in a loop.
QString IconThemeLookup::findInTree(const QString &themeName, const QString &name, int size, int scale,
                                    QStringList &visited) const
{
    if (visited.contains(themeName) || visited.size() >= maxThemes || !isFolderName(themeName))
        return {};
    visited << themeName;
    const std::shared_ptr<const Loaded> loaded = theme(themeName);
    if (!loaded)
        return {};
    if (QString found = findInTheme(*loaded, name, size, scale); !found.isEmpty())
        return found;
    for (const QString &parent : loaded->inherits)
        if (QString found = findInTree(parent, name, size, scale, visited); !found.isEmpty())
            return found;
    return {};
}

// The first icon made for the size, else the closest: one pass finds both, as
// the first of either kind is the one the rules name.
QString IconThemeLookup::findInTheme(const Loaded &theme, const QString &name, int size, int scale) const
{
    QString closest;
    qint64 closestDistance = std::numeric_limits<qint64>::max();
    for (const Folder &folder : theme.folders) {
        for (const QString &extension : extensions) {
            const QString path = folder.path + u'/' + name + extension;
            if (!isIcon(path))
                continue;
            if (folder.directory.matches(size, scale))
                return path;
            if (const qint64 distance = folder.directory.distance(size, scale); distance < closestDistance) {
                closest = path;
                closestDistance = distance;
            }
        }
    }
    return closest;
}

QString IconThemeLookup::findUnthemed(const QString &name) const
{
    for (const QStringList *dirs : {&baseDirs_, &pixmapDirs_})
        for (const QString &dir : *dirs)
            for (const QString &extension : extensions)
                if (const QString path = dir + u'/' + name + extension; isIcon(path))
                    return path;
    return {};
}

bool IconThemeLookup::isIcon(const QString &path) const { return regular_file::isReadable(path, maxFileSize_); }

std::shared_ptr<const IconThemeLookup::Loaded> IconThemeLookup::theme(const QString &name) const
{
    const QMutexLocker lock(&mutex_);
    if (const auto it = themes_.constFind(name); it != themes_.constEnd())
        return *it;
    return *themes_.insert(name, load(name));
}

std::shared_ptr<const IconThemeLookup::Loaded> IconThemeLookup::load(const QString &name) const
{
    std::optional<QByteArray> index;
    QStringList roots; // the theme's folder in each base folder that has one
    for (const QString &base : baseDirs_) {
        const QString root = base + u'/' + name;
        if (!isFolder(root))
            continue;
        roots << root;
        // The first index.theme found describes the theme; one that is not a
        // regular file is none.
        if (!index)
            index = regular_file::read(root + QStringLiteral("/index.theme"), maxIndexSize);
    }
    if (!index)
        return nullptr;
    const IconTheme parsed = IconTheme::parse(*index, maxDirectories);
    auto loaded = std::make_shared<Loaded>();
    loaded->inherits = parsed.inherits;
    for (const IconTheme::Directory &directory : parsed.directories)
        for (const QString &root : roots)
            if (const QString path = root + u'/' + directory.path; isFolder(path))
                loaded->folders << Folder{path, directory};
    return loaded;
}

} // namespace vima
