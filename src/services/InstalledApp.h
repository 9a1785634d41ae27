#pragma once

#include "platform/ApplicationCatalog.h"

#include <QCoroTask>
#include <QHashFunctions>
#include <QList>
#include <QString>
#include <memory>

namespace vima {

// An installed application offered by the settings' application pickers.
struct InstalledApp {
    QString name;
    QString bundleID; // the desktop-file id, never empty
    QString path;     // the desktop file

    static InstalledApp fromDesktopApp(const DesktopApp &app);

    // Scans the catalog on a worker thread and resumes the caller on its own
    // thread with a fresh list, sorted by name. The catalog is shared so that
    // it outlives a scan whose caller has gone.
    static QCoro::Task<QList<InstalledApp>> loadAll(std::shared_ptr<const ApplicationCatalog> catalog);
    // The scan itself, on the calling thread.
    static QList<InstalledApp> scan(const ApplicationCatalog &catalog);

    bool operator==(const InstalledApp &) const = default;
};

size_t qHash(const InstalledApp &app, size_t seed = 0) noexcept;

} // namespace vima
