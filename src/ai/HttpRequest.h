#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>

namespace vima {

// Where a provider sends a request and the headers it adds; HttpExchange
// takes the method and the body beside it.
struct HttpRequest {
    using Headers = QList<QPair<QByteArray, QByteArray>>;

    // Handed to libcurl byte for byte.
    QByteArray url;
    Headers headers;
};

} // namespace vima
