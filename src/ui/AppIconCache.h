#pragma once

#include <QHash>
#include <QIcon>
#include <QObject>
#include <QSet>
#include <QString>

namespace vima {

class AppIconSource;

// Installed applications' icons by bundle identifier. Each is loaded once, on
// a worker thread (two at most at a time, across every cache), and kept, as is the finding that there is none, until the
// source says the installed applications have changed. Without a source, no
// icon is found.
class AppIconCache final : public QObject {
    Q_OBJECT

public:
    explicit AppIconCache(const AppIconSource *source = nullptr, QObject *parent = nullptr);

    // The icon once loaded; null while it loads and when there is none. The
    // first ask starts the load.
    QIcon icon(const QString &bundleID) const;
    bool isLoading(const QString &bundleID) const { return loading_.contains(bundleID); }

Q_SIGNALS:
    // An icon asked for has been loaded (or found missing): paint it.
    void loaded();

private:
    void startLoading(const QString &bundleID) const;

    const AppIconSource *source_;
    // Asking is const to callers; what it learns is kept all the same.
    mutable QHash<QString, QIcon> icons_; // a null icon: none
    mutable QSet<QString> loading_;
    mutable quint64 revision_ = 0;
};

} // namespace vima
