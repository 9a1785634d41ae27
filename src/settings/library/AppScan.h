#pragma once

#include "services/InstalledApp.h"

#include <QCoroTask>
#include <QList>
#include <functional>
#include <memory>

namespace vima {

class ApplicationCatalog;

// The installed-application scan of the library and the pack builder. Tests
// put their own in place of the catalog's.
using AppScan = std::function<QCoro::Task<QList<InstalledApp>>()>;

// A scan of `catalog` on a worker thread.
AppScan catalogScan(std::shared_ptr<const ApplicationCatalog> catalog);

} // namespace vima
