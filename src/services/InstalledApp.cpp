#include "services/InstalledApp.h"

#include <QCollator>
#include <QCoroFuture>
#include <QFuture>
#include <QPromise>
#include <QThread>

#include <algorithm>

namespace vima {

InstalledApp InstalledApp::fromDesktopApp(const DesktopApp &app)
{
    return {app.name, app.bundleID, app.filePath};
}

QList<InstalledApp> InstalledApp::scan(const ApplicationCatalog &catalog)
{
    // The catalog already keeps one entry per id, the one of the folder that wins.
    QList<InstalledApp> apps;
    for (const DesktopApp &app : catalog.all()) {
        if (!app.bundleID.isEmpty())
            apps << fromDesktopApp(app);
    }
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::sort(apps.begin(), apps.end(), [&](const InstalledApp &a, const InstalledApp &b) {
        return collator.compare(a.name, b.name) < 0;
    });
    return apps;
}

QCoro::Task<QList<InstalledApp>> InstalledApp::loadAll(std::shared_ptr<const ApplicationCatalog> catalog)
{
    auto promise = std::make_shared<QPromise<QList<InstalledApp>>>();
    QFuture<QList<InstalledApp>> future = promise->future();
    QThread *worker = QThread::create([promise, catalog] {
        promise->start();
        promise->addResult(scan(*catalog));
        promise->finish();
    });
    QObject::connect(worker, &QThread::finished, worker, &QObject::deleteLater);
    worker->start();
    co_return co_await future;
}

size_t qHash(const InstalledApp &app, size_t seed) noexcept
{
    return qHashMulti(seed, app.name, app.bundleID, app.path);
}

} // namespace vima
