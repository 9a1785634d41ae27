#pragma once

// Configuration files made from the starter one, as a careless hand, a broken
// tool or a hostile file would make them. Each case is named by its class and
// its index, and its bytes follow from those alone, on every run.

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace vima::test {

class ConfigMutations {
public:
    // The classes, in the order their cases are listed.
    static const QStringList &classes();
    // The first launch's configuration with a saved pack, every id fixed.
    static QByteArray starter();
    // Case `index` of `className`: the starter, changed.
    static QByteArray make(const QString &className, int index);
};

} // namespace vima::test
