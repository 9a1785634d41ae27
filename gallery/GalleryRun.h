#pragma once

#include <QString>
#include <QStringList>

namespace vima::gallery {

// Draws the registered pictures of `areas` (all when empty) into `folder`,
// named for `theme`; the number of areas drawn.
int runAll(const QString &folder, const QString &theme, const QStringList &areas);
// The registered areas, each once, in the order they were registered.
QStringList areas();

} // namespace vima::gallery
