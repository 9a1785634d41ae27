#pragma once

#include "platform/AppIconSource.h"

#include <QHash>
#include <QStringList>

namespace vima {

// Icons of made-up installed applications; records every lookup.
class FakeAppIconSource final : public AppIconSource {
public:
    QIcon icon(const QString &bundleID) const override;

    QHash<QString, QIcon> installed;
    mutable QStringList lookups;
};

} // namespace vima
