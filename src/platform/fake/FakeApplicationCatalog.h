#pragma once

#include "platform/ApplicationCatalog.h"

#include <QMap>

namespace vima {

// Installed applications held in memory, for tests.
class FakeApplicationCatalog final : public ApplicationCatalog {
public:
    FakeApplicationCatalog() = default;
    explicit FakeApplicationCatalog(const QList<DesktopApp> &apps);

    // Installs `app`, replacing one with the same bundle identifier.
    void install(const DesktopApp &app);
    void uninstall(const QString &bundleID);

    std::optional<DesktopApp> find(const QString &bundleID) const override;
    QList<DesktopApp> all() const override;
    QList<DesktopApp> latestWithUnlisted() const override { return apps_.values(); }
    quint64 revision() const override { return revision_; }

private:
    QMap<QString, DesktopApp> apps_;
    quint64 revision_ = 0;
};

} // namespace vima
