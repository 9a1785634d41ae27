#pragma once

#include "platform/ApplicationCatalog.h"

#include <QMutex>
#include <functional>

namespace vima {

// The desktop entries of the applications/ folders under the XDG data dirs.
// find() reads the entry's file each time; the whole list is read once and
// read again only when one of its folders has changed (an entry added,
// removed or renamed; an entry edited in place is seen with the next such
// change). May be used from any thread.
class XdgApplicationCatalog final : public ApplicationCatalog {
public:
    // `dataDirs` in order of precedence: an entry in an earlier one hides any
    // entry with the same desktop-file id in the later ones.
    explicit XdgApplicationCatalog(QStringList dataDirs = standardDataDirs(),
                                   QString locale = messagesLocale());

    // None for an identifier that is empty, holds "/" or starts with ".".
    std::optional<DesktopApp> find(const QString &bundleID) const override;
    QList<DesktopApp> all() const override;
    // Moves on when a folder the list was read from has changed since it was read.
    quint64 revision() const override;

    // $XDG_DATA_HOME, then $XDG_DATA_DIRS, with the XDG defaults.
    static QStringList standardDataDirs();
    // LC_ALL, else LC_MESSAGES, else LANG.
    static QString messagesLocale();

private:
    struct File {
        QString id; // with ".desktop"
        QString path;
    };
    // Visits each desktop-file id once, from the directory that wins it; adds
    // the subfolders it lists, and their stamps.
    void forEachFile(const std::function<void(const File &)> &visit, QStringList &subfolders,
                     QList<qint64> &stamps) const;
    std::optional<DesktopApp> load(const File &file) const;
    // Each data dir's applications/ folder, and the data dir itself for one that doesn't exist yet.
    QStringList folders() const;
    // Every entry, NoDisplay ones too, sorted by name.
    QList<DesktopApp> entries() const;
    // Forgets the list when a watched folder has changed. Under stateMutex_.
    void refreshStamps() const;

    QStringList dataDirs_;
    QString locale_;
    mutable QMutex readMutex_;
    mutable QMutex stateMutex_; // guards what follows
    mutable QStringList watched_; // the folders the list was read from, and every data dir
    mutable QList<qint64> stamps_;
    mutable std::optional<QList<DesktopApp>> entries_;
    mutable quint64 revision_ = 0;
};

} // namespace vima
