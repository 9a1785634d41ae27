#pragma once

#include "platform/x11/IconTheme.h"

#include <QHash>
#include <QMutex>
#include <QString>
#include <QStringList>
#include <memory>

namespace vima {

// Finds the file of an icon by its name as the desktop's icon theme rules do:
// in the theme, then the themes it inherits from, then "hicolor", each theme
// taking an icon made for the size wanted before the closest other; then
// unthemed icons directly in the base folders and the pixmaps folders. Only
// regular files of at most `maxFileSize` count as icons, index.theme files
// too, and no folder is listed. Each theme's index is read once, on first use.
// May be used from any thread.
class IconThemeLookup {
public:
    // `baseDirs`: the folders that hold themes, in order of precedence;
    // `pixmapDirs`: folders of unthemed icons, looked in after them.
    IconThemeLookup(QStringList baseDirs, QStringList pixmapDirs, QString theme, qint64 maxFileSize);

    // The file of icon `name` for `size` pixels at `scale`; empty when there
    // is none (and for a name that holds "/").
    QString find(const QString &name, int size, int scale = 1) const;

    // For data dirs as the desktop-entry catalog takes them (the user's
    // first): the user's icons/, ~/.icons, then the others' icons/.
    static QStringList standardBaseDirs(const QStringList &dataDirs);
    // Each data dir's pixmaps/, then /usr/share/pixmaps.
    static QStringList standardPixmapDirs(const QStringList &dataDirs);

    // Bounds on what a theme can make us read: the themes one lookup visits,
    // the folders of one theme, the size of an index.theme.
    static constexpr int maxThemes = 32;
    static constexpr qsizetype maxDirectories = 1000;
    static constexpr qint64 maxIndexSize = 1024 * 1024;

private:
    struct Folder {
        QString path;
        IconTheme::Directory directory;
    };
    // A theme's folders that exist, in the order the lookup visits them.
    struct Loaded {
        QStringList inherits;
        QList<Folder> folders;
    };

    // None when no base folder has an index.theme for it.
    std::shared_ptr<const Loaded> theme(const QString &name) const;
    std::shared_ptr<const Loaded> load(const QString &name) const;
    QString findInTree(const QString &theme, const QString &name, int size, int scale, QStringList &visited) const;
    QString findInTheme(const Loaded &theme, const QString &name, int size, int scale) const;
    QString findUnthemed(const QString &name) const;
    bool isIcon(const QString &path) const;

    const QStringList baseDirs_;
    const QStringList pixmapDirs_;
    const QString theme_;
    const qint64 maxFileSize_;
    mutable QMutex mutex_;
    mutable QHash<QString, std::shared_ptr<const Loaded>> themes_; // none: not installed
};

} // namespace vima
