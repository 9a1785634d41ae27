#pragma once

#include "platform/AppIconSource.h"

#include <QHash>
#include <QIcon>
#include <QStringList>

namespace vima {

// Icons of made-up installed applications; records every lookup.
class FakeAppIconSource final : public AppIconSource {
public:
    std::optional<Loader> loader(const QString &bundleID) const override;
    quint64 revision() const override { return changes; }

    QHash<QString, QIcon> installed;
    // Bumped by a test that installs or removes one after a lookup.
    quint64 changes = 0;
    mutable QStringList lookups;
};

} // namespace vima
