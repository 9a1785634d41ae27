#pragma once

#include <QObject>

namespace vima {

// Tells that a catalog has finished a read that found other entries. May be
// emitted on a worker thread: connect with a receiver on your own thread.
class CatalogNotifier : public QObject {
    Q_OBJECT

Q_SIGNALS:
    void revised();
};

} // namespace vima
