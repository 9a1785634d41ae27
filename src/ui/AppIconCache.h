#pragma once

#include <QHash>
#include <QIcon>
#include <QString>

namespace vima {

class AppIconSource;

// Installed applications' icons by bundle identifier, cached once found. A
// miss is not cached, so the next draw asks again (the application may have
// been installed since). Without a source, no icon is found.
class AppIconCache {
public:
    explicit AppIconCache(const AppIconSource *source = nullptr) : source_(source) {}

    QIcon icon(const QString &bundleID) const;

private:
    const AppIconSource *source_;
    mutable QHash<QString, QIcon> cache_;
};

} // namespace vima
