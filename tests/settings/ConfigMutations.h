#pragma once

// Configuration files made from a fixed base one (generated-base.json beside
// this file), as a careless hand, a broken tool or a hostile file would make
// them. Each case is named by its class and its index, and its bytes follow
// from those and the base alone, on every run.

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace vima::test {

class ConfigMutations {
public:
    // The classes, in the order their cases are listed.
    static const QStringList &classes();
    static int caseCount(const QString &className);
    // A first launch's configuration with a saved pack, every id fixed.
    static QByteArray base();
    // Case `index` of `className`: the base, changed.
    static QByteArray make(const QString &className, int index);
};

} // namespace vima::test
