#pragma once

#include <QImage>
#include <QString>
#include <functional>
#include <optional>

namespace vima {

// An installed application's icon by bundle identifier.
class AppIconSource {
public:
    // Makes an icon's image; runs on a worker thread, so that a slow or
    // hostile icon file never holds up the GUI, and may outlive the source
    // that made it. A null image: none usable.
    using Loader = std::function<QImage()>;

    virtual ~AppIconSource() = default;

    // How to load the icon of `bundleID`, without loading it yet; none when no
    // such application is installed or it names no icon. On the GUI thread.
    virtual std::optional<Loader> loader(const QString &bundleID) const = 0;
    // Changes whenever an icon it gave, or found missing, may have changed; cheap.
    virtual quint64 revision() const { return 0; }
};

} // namespace vima
