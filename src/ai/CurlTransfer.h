#pragma once

#include "ai/HttpRequest.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <coroutine>
#include <curl/curl.h>
#include <map>

class QSocketNotifier;
class QTimer;

namespace vima {

// One HTTP exchange through libcurl, driven by this thread's event loop: it
// runs no thread of its own, and once it ends its connection is closed and
// nothing of it runs. It gets a connection of its own, no proxy, no cookies,
// and follows no redirect: it tells where one points. Delete it from the
// event loop (deleteLater): it ends from inside its own notifications.
class CurlTransfer : public QObject {
public:
    enum class End {
        running,
        completed,       // the whole response arrived
        redirected,      // a 301, 302, 303, 307 or 308 with a Location, not followed
        failed,          // the connection or the response broke off: errorText() says how
        notHttp,         // the address is no http or https one
        headersTooLarge, // a head past `Limits::headers` in all, or a line past libcurl's own limit
        bodyTooLarge,    // a body past `Limits::body`, announced, as it arrived or before decoding, or
                         // a response past both limits together on the wire, framing included
        outOfMemory,     // an allocation of libcurl's failed
        aborted,
    };
    struct Limits {
        qint64 headers;
        qint64 body;
    };

    // A compressed body whose decoded part lags what arrived by more than
    // this decodes to nothing: a real one grows as it decodes.
    static constexpr qint64 undecodedSlack = 1024 * 1024;

    // Starts at once; a method other than GET sends `body`. `url` goes to
    // libcurl byte for byte.
    CurlTransfer(const QByteArray &url, const HttpRequest::Headers &headers, const QByteArray &method,
                 const QByteArray &body, Limits limits);
    ~CurlTransfer() override;
    CurlTransfer(const CurlTransfer &) = delete;
    CurlTransfer &operator=(const CurlTransfer &) = delete;

    // A status whose Location asks the client to go there instead.
    static bool isRedirect(int status);

    // Ends a running exchange now, closing its connection.
    void abort();

    End end() const { return end_; }
    // The last response's HTTP status; 0 when none began.
    int status() const { return status_; }
    // The body received, up to the ceiling.
    const QByteArray &body() const { return body_; }
    const QString &errorText() const { return errorText_; }
    // A redirect's first Location field, as sent.
    const QByteArray &location() const { return location_; }
    // Whether a Location field held a byte below 0x21 or 0x7f, which parsers
    // read apart.
    bool locationHasControls() const { return locationHasControls_; }
    // Where libcurl reads the redirect to point: absolute, or empty when it
    // can't make one.
    const QByteArray &redirectTarget() const { return redirectTarget_; }

    // Awaits the end; the waiting coroutine resumes inside `abort()` or the
    // notification that ended the exchange.
    struct Ending {
        CurlTransfer &transfer;
        bool await_ready() const noexcept { return transfer.end_ != End::running; }
        void await_suspend(std::coroutine_handle<> waiting) noexcept { transfer.waiting_ = waiting; }
        void await_resume() const noexcept {}
    };
    Ending ended() { return Ending{*this}; }

private:
    struct Watch {
        QSocketNotifier *read = nullptr;
        QSocketNotifier *write = nullptr;
    };

    static int onSocket(CURL *easy, curl_socket_t socket, int what, void *self, void *);
    static int onTimer(CURLM *multi, long milliseconds, void *self);
    static size_t onHeader(char *data, size_t size, size_t count, void *self);
    static size_t onBody(char *data, size_t size, size_t count, void *self);
    static int onProgress(void *self, curl_off_t, curl_off_t received, curl_off_t, curl_off_t);

    void configure(const QByteArray &url, const HttpRequest::Headers &headers, const QByteArray &method,
                   const QByteArray &body);
    void watch(curl_socket_t socket, int what);
    void watchFor(QSocketNotifier *&notifier, curl_socket_t socket, bool wanted, int event);
    void drive(curl_socket_t socket, int events);
    size_t takeHeader(QByteArrayView line);
    size_t takeBody(QByteArrayView piece);
    void takeLocation(QByteArrayView value);
    int takeProgress(qint64 received);
    // Every byte the connections brought so far.
    qint64 arrived() const;
    size_t refuse(End why);
    End endOf(CURLcode result);
    void finish(End end);
    void release();

    Limits limits_;
    CURLM *multi_ = nullptr;
    CURL *easy_ = nullptr;
    curl_slist *headers_ = nullptr;
    char errorBuffer_[CURL_ERROR_SIZE] = {};
    QTimer *timer_;
    std::map<curl_socket_t, Watch> watches_;
    qint64 headerBytes_ = 0;
    quint64 failedAllocations_ = 0;
    End refused_ = End::running;
    End end_ = End::running;
    int status_ = 0;
    QByteArray body_;
    QString errorText_;
    QByteArray location_;
    bool locationHasControls_ = false;
    QByteArray redirectTarget_;
    std::coroutine_handle<> waiting_;
};

} // namespace vima
