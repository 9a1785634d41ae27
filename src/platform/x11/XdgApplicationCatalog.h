#pragma once

#include "platform/ApplicationCatalog.h"

#include <functional>

namespace vima {

// The desktop entries of the applications/ folders under the XDG data dirs.
// Reads the disk on every call and keeps no state besides its settings, so it
// may be used from any thread.
class XdgApplicationCatalog final : public ApplicationCatalog {
public:
    // `dataDirs` in order of precedence: an entry in an earlier one hides any
    // entry with the same desktop-file id in the later ones.
    explicit XdgApplicationCatalog(QStringList dataDirs = standardDataDirs(),
                                   QString locale = messagesLocale());

    // None for an identifier that is empty, holds "/" or starts with ".".
    std::optional<DesktopApp> find(const QString &bundleID) const override;
    QList<DesktopApp> all() const override;
    // Each data dir's applications/ folder, and the data dir itself for one that doesn't exist yet.
    QStringList folders() const override;

    // $XDG_DATA_HOME, then $XDG_DATA_DIRS, with the XDG defaults.
    static QStringList standardDataDirs();
    // LC_ALL, else LC_MESSAGES, else LANG.
    static QString messagesLocale();

private:
    struct File {
        QString id; // with ".desktop"
        QString path;
    };
    // Visits each desktop-file id once, from the directory that wins it, until
    // `visit` returns false.
    void forEachFile(const std::function<bool(const File &)> &visit) const;
    std::optional<DesktopApp> load(const File &file) const;

    QStringList dataDirs_;
    QString locale_;
};

} // namespace vima
