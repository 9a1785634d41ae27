#pragma once

#include "model/Ring.h"

#include <QList>
#include <QString>

namespace vima {

// The per-app rings a fresh configuration carries: one for Safari.
QList<Ring> defaultContextRings(const QString &language);

} // namespace vima
