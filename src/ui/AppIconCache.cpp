#include "ui/AppIconCache.h"

#include "platform/AppIconSource.h"

#include <QFutureWatcher>
#include <QPixmap>
#include <QPromise>
#include <QThreadPool>
#include <memory>

namespace vima {

namespace {

// Every icon load takes its turn on these threads: each load is bounded in
// memory, and so is how many run at once, however many a list asks for.
constexpr int loadsAtOnce = 2;

struct IconLoads : QThreadPool {
    IconLoads() { setMaxThreadCount(loadsAtOnce); }
};
Q_GLOBAL_STATIC(IconLoads, iconLoads)

} // namespace

AppIconCache::AppIconCache(const AppIconSource *source, QObject *parent)
    : QObject(parent), source_(source), revision_(source ? source->revision() : 0)
{
}

QIcon AppIconCache::icon(const QString &bundleID) const
{
    if (!source_)
        return {};
    if (const quint64 revision = source_->revision(); revision != revision_) {
        icons_.clear();
        revision_ = revision;
    }
    if (const auto it = icons_.constFind(bundleID); it != icons_.constEnd())
        return *it;
    if (!loading_.contains(bundleID))
        startLoading(bundleID);
    return {};
}

void AppIconCache::startLoading(const QString &bundleID) const
{
    std::optional<AppIconSource::Loader> loader = source_->loader(bundleID);
    if (!loader) {
        icons_.insert(bundleID, QIcon());
        return;
    }
    loading_.insert(bundleID);
    auto *self = const_cast<AppIconCache *>(this);
    auto promise = std::make_shared<QPromise<QImage>>();
    // A child of the cache: gone with it, so nothing arrives at a cache that is gone.
    auto *watcher = new QFutureWatcher<QImage>(self);
    connect(watcher, &QFutureWatcherBase::finished, self, [self, watcher, bundleID, revision = revision_] {
        watcher->deleteLater();
        self->loading_.remove(bundleID);
        // Loaded from what the source has replaced since: the next ask loads it anew.
        if (revision == self->revision_) {
            const QImage image = watcher->future().resultCount() > 0 ? watcher->result() : QImage();
            self->icons_.insert(bundleID, image.isNull() ? QIcon() : QIcon(QPixmap::fromImage(image)));
        }
        Q_EMIT self->loaded();
    });
    watcher->setFuture(promise->future());
    promise->start();
    iconLoads()->start([promise, load = std::move(*loader)] {
        promise->addResult(load());
        promise->finish();
    });
}

} // namespace vima
