#pragma once

#include "platform/AppIconSource.h"

namespace vima {

class ApplicationCatalog;

// Icons from the desktop entries' Icon= key: an absolute path is loaded as a
// file, anything else is looked up in the icon theme.
class DesktopAppIconSource final : public AppIconSource {
public:
    explicit DesktopAppIconSource(const ApplicationCatalog &catalog);

    std::optional<Loader> loader(const QString &bundleID) const override;
    quint64 revision() const override;

    // The file an Icon= value names; empty when it names none. On the GUI
    // thread (the icon theme's lookup is Qt's and not thread-safe).
    static QString iconFile(const QString &value);
    // The icon in `path`, at most side × side pixels; null unless it is a
    // regular file (links followed) of at most maxFileSize that decodes
    // within a few MB. Reads nothing that blocks; any thread.
    static QImage load(const QString &path);

    // Above any real application icon; a larger one is not worth the time
    // and memory an image that size can take to decode.
    static constexpr qint64 maxFileSize = 1024 * 1024;
    static constexpr int side = 128;

private:
    const ApplicationCatalog &catalog_;
};

} // namespace vima
