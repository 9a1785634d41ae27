#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QUrl>

namespace vima {

// Where a provider sends a request and the headers it adds; HttpExchange
// takes the method and the body beside it.
struct HttpRequest {
    using Headers = QList<QPair<QByteArray, QByteArray>>;

    QUrl url;
    Headers headers;
};

} // namespace vima
