#pragma once

#include "platform/ApplicationCatalog.h"

#include <memory>

namespace vima {

// The desktop entries of the applications/ folders under the XDG data dirs.
// find() reads the entry's file each time. The whole list is read on a worker
// and again when one of its folders has changed (an entry added, removed or
// renamed; an entry edited in place is seen with the next such change);
// meanwhile latest() answers from the last finished read. Subfolders are
// entered only where they lie inside their applications/ folder, links
// included, and a read stops at a bound of folders and entries, so that a
// link to / or a flood of files costs no more than that. May be used from
// any thread.
class XdgApplicationCatalog final : public ApplicationCatalog {
public:
    // `dataDirs` in order of precedence: an entry in an earlier one hides any
    // entry with the same desktop-file id in the later ones. `desktops` is
    // the session's desktop names, for OnlyShowIn and NotShowIn.
    explicit XdgApplicationCatalog(QStringList dataDirs = standardDataDirs(), QString locale = messagesLocale(),
                                   QStringList desktops = currentDesktops());
    // Stops a read under way and waits for its worker.
    ~XdgApplicationCatalog() override;

    // None for an identifier that is empty, holds "/" or starts with ".".
    std::optional<DesktopApp> find(const QString &bundleID) const override;
    // Reads again on the calling thread when a folder has changed.
    QList<DesktopApp> all() const override;
    // Starts a read on the worker when a folder may have changed.
    QList<DesktopApp> latest() const override;
    QList<DesktopApp> latestWithUnlisted() const override;
    // Moves on when a read on the worker has found other entries; asking
    // starts one when a folder may have changed. Never waits for the disk.
    quint64 revision() const override;
    const CatalogNotifier *notifier() const override;

    // $XDG_DATA_HOME, then $XDG_DATA_DIRS, with the XDG defaults.
    static QStringList standardDataDirs();
    // LC_ALL, else LC_MESSAGES, else LANG.
    static QString messagesLocale();
    // $XDG_CURRENT_DESKTOP, a colon-separated list.
    static QStringList currentDesktops();

    // Bounds of one read: how deep below applications/, and how many folders
    // and entries in all; far above any real system's.
    static constexpr int maxDepth = 8;
    static constexpr int maxFolders = 1000;
    static constexpr int maxEntries = 20'000;

private:
    struct State;
    std::unique_ptr<State> state_;
};

} // namespace vima
