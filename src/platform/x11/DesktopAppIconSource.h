#pragma once

#include "platform/AppIconSource.h"

#include <QStringList>
#include <memory>

namespace vima {

class ApplicationCatalog;
class IconThemeLookup;

// Icons from the desktop entries' Icon= key: an absolute path is loaded as a
// file, anything else is looked up in the icon theme Qt's platform names (on
// the worker that loads it, as is everything a theme makes us read).
class DesktopAppIconSource final : public AppIconSource {
public:
    // `dataDirs` as the catalog takes them; icons are looked for under them.
    explicit DesktopAppIconSource(const ApplicationCatalog &catalog, QStringList dataDirs = standardDataDirs());
    ~DesktopAppIconSource() override;

    std::optional<Loader> loader(const QString &bundleID) const override;
    quint64 revision() const override;

    // The icon name an Icon= value that is no path gives: the value without an
    // image file's suffix ("urxvt_48x48.xpm" names "urxvt_48x48"); empty when
    // it names no icon.
    static QString iconName(const QString &value);
    // The icon in `path`, at most side × side pixels; null unless it is a
    // regular file (links followed) of at most maxFileSize that, inflated
    // when compressed, is at most maxFileSize, refers to no other file and
    // decodes within a few MB. Reads nothing that blocks; any thread.
    static QImage load(const QString &path);

    // Above any real application icon; a larger one is not worth the time
    // and memory an image that size can take to decode.
    static constexpr qint64 maxFileSize = 1024 * 1024;
    static constexpr int side = 128;

private:
    static QStringList standardDataDirs();
    // The lookup for the current theme, made anew when the theme or the
    // installed applications change. On the GUI thread.
    std::shared_ptr<const IconThemeLookup> lookup() const;

    const ApplicationCatalog &catalog_;
    const QStringList dataDirs_;
    mutable std::shared_ptr<const IconThemeLookup> lookup_;
    mutable QString lookupTheme_;
    mutable quint64 lookupRevision_ = 0;
};

} // namespace vima
