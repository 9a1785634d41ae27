#include "http/LoopbackHttpServer.h"

#include <QJsonDocument>
#include <QTcpSocket>
#include <QTimer>
#include <memory>
#include <optional>

namespace vima {

namespace {

const char *const bufferProperty = "vima.http.buffer";
const char *const connectionProperty = "vima.http.connection";
constexpr qint64 chunkSize = 256 * 1024; // of a streamed body

// Parses one complete request from the front of `buffer`, removing it; nothing
// while the request is still arriving.
std::optional<HttpRecordedRequest> takeRequest(QByteArray &buffer)
{
    const qsizetype headerEnd = buffer.indexOf("\r\n\r\n");
    if (headerEnd < 0)
        return std::nullopt;
    const QList<QByteArray> lines = buffer.left(headerEnd).split('\n');
    const QList<QByteArray> requestLine = lines.first().trimmed().split(' ');
    if (requestLine.size() < 2)
        return std::nullopt;

    HttpRecordedRequest request;
    request.method = requestLine.at(0);
    const QByteArray target = requestLine.at(1);
    const qsizetype question = target.indexOf('?');
    request.path = question < 0 ? target : target.left(question);
    request.query = question < 0 ? QByteArray() : target.mid(question + 1);
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const qsizetype colon = lines.at(i).indexOf(':');
        if (colon > 0)
            request.headers.insert(lines.at(i).left(colon).trimmed().toLower(),
                                   lines.at(i).mid(colon + 1).trimmed());
    }
    const qsizetype length = request.header("content-length").toLongLong();
    const qsizetype bodyStart = headerEnd + 4;
    if (buffer.size() - bodyStart < length)
        return std::nullopt;
    request.body = buffer.mid(bodyStart, length);
    buffer.remove(0, bodyStart + length);
    return request;
}

} // namespace

HttpRoute HttpRoute::reply(int status, QByteArray body, QByteArray contentType)
{
    HttpRoute route;
    route.status = status;
    route.body = std::move(body);
    route.headers.append(qMakePair(QByteArray("Content-Type"), std::move(contentType)));
    return route;
}

HttpRoute HttpRoute::streaming(int status, qint64 bytes, QByteArray piece)
{
    HttpRoute route = reply(status, std::move(piece), "text/plain");
    route.streamedBytes = bytes;
    return route;
}

HttpRoute HttpRoute::longHead(QByteArray fill, qint64 bytes, QByteArray body)
{
    HttpRoute route = reply(200, std::move(body), "text/plain");
    route.headFillBytes = bytes == endless ? endless : bytes - bytes % fill.size();
    route.headFill = std::move(fill);
    return route;
}

HttpRoute HttpRoute::redirect(int status, QByteArray location)
{
    HttpRoute route = reply(status, {}, "text/plain");
    route.headers.append(qMakePair(QByteArray("Location"), std::move(location)));
    return route;
}

HttpRoute HttpRoute::endlessEncoded(QByteArray encoding, QByteArray start, QByteArray piece)
{
    HttpRoute route = streaming(200, endless, std::move(piece));
    route.headers.append(qMakePair(QByteArray("Content-Encoding"), std::move(encoding)));
    route.streamStart = std::move(start);
    return route;
}

HttpRoute HttpRoute::endlessChunkExtension()
{
    HttpRoute route = streaming(200, endless, "a");
    route.headers.append(qMakePair(QByteArray("Transfer-Encoding"), QByteArray("chunked")));
    route.streamStart = "10;x=";
    return route;
}

HttpRoute HttpRoute::hanging()
{
    HttpRoute route;
    route.ending = Ending::hang;
    return route;
}

HttpRoute HttpRoute::closing()
{
    HttpRoute route;
    route.ending = Ending::close;
    return route;
}

QJsonObject HttpRecordedRequest::json() const { return QJsonDocument::fromJson(body).object(); }

LoopbackHttpServer::LoopbackHttpServer(QObject *parent) : LoopbackHttpServer(QHostAddress::LocalHost, parent) {}

LoopbackHttpServer::LoopbackHttpServer(const QHostAddress &address, QObject *parent) : QObject(parent)
{
    connect(&server_, &QTcpServer::newConnection, this, &LoopbackHttpServer::accept);
    server_.listen(address, 0);
    clock_.start();
}

QUrl LoopbackHttpServer::url(const QString &path) const
{
    QUrl url;
    url.setScheme(QStringLiteral("http"));
    url.setHost(server_.serverAddress().toString());
    url.setPort(port());
    url.setPath(path);
    return url;
}

void LoopbackHttpServer::setRoute(const QByteArray &path, HttpRoute route)
{
    routes_.insert(path, std::move(route));
}

QList<HttpRecordedRequest> LoopbackHttpServer::requests(const QByteArray &path) const
{
    QList<HttpRecordedRequest> found;
    for (const HttpRecordedRequest &request : requests_) {
        if (request.path == path)
            found.append(request);
    }
    return found;
}

QList<HttpConnection> LoopbackHttpServer::connections(const QByteArray &path) const
{
    QList<HttpConnection> found;
    for (const HttpConnection &connection : connections_) {
        if (connection.path == path)
            found.append(connection);
    }
    return found;
}

HttpConnection &LoopbackHttpServer::connectionOf(QTcpSocket *socket)
{
    return connections_[socket->property(connectionProperty).toInt()];
}

quint16 LoopbackHttpServer::closedPort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    const quint16 port = probe.serverPort();
    probe.close();
    return port;
}

void LoopbackHttpServer::accept()
{
    while (QTcpSocket *socket = server_.nextPendingConnection()) {
        socket->setParent(this);
        socket->setProperty(connectionProperty, int(connections_.size()));
        connections_.append(HttpConnection{});
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { readFrom(socket); });
        connect(socket, &QTcpSocket::bytesWritten, this,
                [this, socket](qint64 bytes) { connectionOf(socket).bytesSent += bytes; });
        connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
            connectionOf(socket).closedAtMs = now();
            socket->deleteLater();
        });
    }
}

void LoopbackHttpServer::readFrom(QTcpSocket *socket)
{
    QByteArray buffer = socket->property(bufferProperty).toByteArray() + socket->readAll();
    std::optional<HttpRecordedRequest> request = takeRequest(buffer);
    socket->setProperty(bufferProperty, buffer);
    if (!request)
        return;

    requests_.append(*request);
    connectionOf(socket).path = request->path;
    const HttpRoute route = routes_.value(request->path, HttpRoute::reply(404, {}, "text/plain"));
    Q_EMIT requestReceived(request->path);

    switch (route.ending) {
    case HttpRoute::Ending::hang:
        if (route.streamedBytes != 0)
            answer(socket, route);
        return;
    case HttpRoute::Ending::close:
        socket->disconnectFromHost();
        return;
    case HttpRoute::Ending::reply:
        QTimer::singleShot(route.delayMs, socket, [this, socket, route] { answer(socket, route); });
        return;
    }
}

void LoopbackHttpServer::answer(QTcpSocket *socket, const HttpRoute &route)
{
    QByteArray head = "HTTP/1.1 " + QByteArray::number(route.status) + " Scripted\r\n";
    for (const auto &[name, value] : route.headers)
        head += name + ": " + value + "\r\n";
    if (route.headFillBytes == 0) {
        socket->write(head);
        sendBody(socket, route);
        return;
    }
    const bool oneField = !route.headFill.contains('\n');
    socket->write(head + (oneField ? "X-Fill: " : ""));
    pump(socket, route.headFill, route.headFillBytes, false, [socket, route, oneField] {
        if (oneField)
            socket->write("\r\n");
        sendBody(socket, route);
    });
}

// The rest of the head, then the body.
void LoopbackHttpServer::sendBody(QTcpSocket *socket, const HttpRoute &route)
{
    QByteArray head;
    const bool streamed = route.streamedBytes != 0;
    if (route.contentLength || !streamed)
        head += "Content-Length: " + QByteArray::number(route.contentLength.value_or(route.body.size())) + "\r\n";
    if (!streamed) {
        socket->write(head + "Connection: close\r\n\r\n" + route.body);
        socket->disconnectFromHost();
        return;
    }
    if (route.chunked)
        head += "Transfer-Encoding: chunked\r\n";
    socket->write(head + "Connection: close\r\n\r\n" + route.streamStart);
    const QByteArray piece = route.body.isEmpty() ? QByteArray("x") : route.body;
    pump(socket, piece, route.streamedBytes, route.chunked, [socket, route] {
        if (route.ending == HttpRoute::Ending::hang)
            return;
        if (route.chunked)
            socket->write("0\r\n\r\n");
        socket->disconnectFromHost(); // after what is still to write
    });
}

// Writes `piece` repeated up to `bytes` (or without end) a few pieces ahead of
// the client at most, so the server never holds it all; then calls `done`.
void LoopbackHttpServer::pump(QTcpSocket *socket, const QByteArray &piece, qint64 bytes, bool chunked,
                              const std::function<void()> &done)
{
    QByteArray chunk = piece;
    while (chunk.size() + piece.size() <= chunkSize)
        chunk += piece;
    auto left = std::make_shared<qint64>(bytes);
    auto ended = std::make_shared<bool>(false);
    const auto more = [socket, chunk, left, ended, chunked, done] {
        while (*left != 0 && socket->bytesToWrite() < 2 * chunkSize) {
            const qint64 size = *left == HttpRoute::endless ? chunk.size() : std::min(*left, qint64(chunk.size()));
            if (chunked)
                socket->write(QByteArray::number(size, 16) + "\r\n");
            socket->write(chunk.constData(), size);
            if (chunked)
                socket->write("\r\n");
            if (*left != HttpRoute::endless)
                *left -= size;
        }
        if (*left != 0 || *ended)
            return;
        *ended = true;
        done();
    };
    connect(socket, &QTcpSocket::bytesWritten, socket, more);
    more();
}

} // namespace vima
