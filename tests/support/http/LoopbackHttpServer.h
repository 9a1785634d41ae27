#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QHostAddress>
#include <QJsonObject>
#include <QList>
#include <QMap>
#include <QObject>
#include <QPair>
#include <QTcpServer>
#include <QUrl>
#include <functional>
#include <optional>

namespace vima {

// What the server does with a request for one path.
struct HttpRoute {
    enum class Ending {
        reply, // answer after `delayMs`
        hang,  // answer no more than the streamed body, keep the connection open
        close, // close the connection without a word
    };
    static constexpr qint64 endless = -1;

    int status = 200;
    QList<QPair<QByteArray, QByteArray>> headers;
    QByteArray body;
    int delayMs = 0;
    Ending ending = Ending::reply;
    // When set, the body is `body` repeated up to this many bytes (or without
    // end), sent in pieces as the client takes them, its end marked only by
    // closing the connection unless `chunked` or `contentLength` says more.
    // A hanging route sends it and then stops, the body unfinished.
    qint64 streamedBytes = 0;
    // Sent once before a streamed body (the start of a compressed stream).
    QByteArray streamStart;
    bool chunked = false;
    // Announced as the body's length; more than is sent makes a body cut short.
    std::optional<qint64> contentLength;
    // When set, the head goes on with `headFill` repeated up to this many
    // bytes (or without end) before it ends: whole lines, or the value of one
    // field when the fill holds no line end.
    qint64 headFillBytes = 0;
    QByteArray headFill;

    static HttpRoute reply(int status, QByteArray body, QByteArray contentType = "application/json");
    static HttpRoute streaming(int status, qint64 bytes, QByteArray piece = "x");
    // A 200 reply of `body` whose head carries `fill` up to `bytes` (whole
    // fills only) or without end.
    static HttpRoute longHead(QByteArray fill, qint64 bytes, QByteArray body = "ok");
    // `status` with `location` as the Location field, byte for byte.
    static HttpRoute redirect(int status, QByteArray location);
    // A 200 reply in `encoding` that never ends: `start`, then `piece` repeated.
    static HttpRoute endlessEncoded(QByteArray encoding, QByteArray start, QByteArray piece);
    // A chunked 200 reply whose first size line ("10;x=") goes on with an
    // extension that never ends: no byte of body ever comes.
    static HttpRoute endlessChunkExtension();
    static HttpRoute hanging();
    static HttpRoute closing();
};

// One request as it arrived. Header names are kept in lower case.
struct HttpRecordedRequest {
    QByteArray method;
    QByteArray path;
    QByteArray query;
    QMap<QByteArray, QByteArray> headers;
    QByteArray body;

    QByteArray header(const QByteArray &name) const { return headers.value(name.toLower()); }
    bool hasHeader(const QByteArray &name) const { return headers.contains(name.toLower()); }
    QJsonObject json() const;
};

// One connection as the server saw it.
struct HttpConnection {
    QByteArray path; // of its request; empty before one arrived
    qint64 bytesSent = 0; // handed to the system, head included
    std::optional<qint64> closedAtMs; // on the server's clock, by either side
};

// An HTTP/1.1 server on a loopback address (127.0.0.1 unless told) at a free port, scripted per path and
// recording every request. Unscripted paths get 404 with an empty body. Every
// reply closes its connection.
class LoopbackHttpServer : public QObject {
    Q_OBJECT

public:
    explicit LoopbackHttpServer(QObject *parent = nullptr);
    explicit LoopbackHttpServer(const QHostAddress &address, QObject *parent = nullptr);

    bool isListening() const { return server_.isListening(); }
    quint16 port() const { return server_.serverPort(); }
    QUrl url(const QString &path = QStringLiteral("/")) const;

    void setRoute(const QByteArray &path, HttpRoute route);
    QList<HttpRecordedRequest> requests() const { return requests_; }
    QList<HttpRecordedRequest> requests(const QByteArray &path) const;
    // In the order they were accepted.
    QList<HttpConnection> connections(const QByteArray &path) const;
    // Every connection accepted, whether a request came on it or not.
    qsizetype connectionCount() const { return connections_.size(); }
    // Milliseconds since the server started.
    qint64 now() const { return clock_.elapsed(); }

    // A loopback port where nothing listens, for refused connections.
    static quint16 closedPort();

Q_SIGNALS:
    void requestReceived(const QByteArray &path);

private:
    void accept();
    void readFrom(QTcpSocket *socket);
    void answer(QTcpSocket *socket, const HttpRoute &route);
    static void sendBody(QTcpSocket *socket, const HttpRoute &route);
    static void pump(QTcpSocket *socket, const QByteArray &piece, qint64 bytes, bool chunked,
                     const std::function<void()> &done);
    HttpConnection &connectionOf(QTcpSocket *socket);

    QTcpServer server_;
    QElapsedTimer clock_;
    QList<HttpConnection> connections_;
    QMap<QByteArray, HttpRoute> routes_;
    QList<HttpRecordedRequest> requests_;
};

} // namespace vima
