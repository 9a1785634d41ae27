#include "settings/library/AppScan.h"

namespace vima {

AppScan catalogScan(std::shared_ptr<const ApplicationCatalog> catalog)
{
    return [catalog = std::move(catalog)] { return InstalledApp::loadAll(catalog); };
}

} // namespace vima
