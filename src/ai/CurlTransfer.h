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
// and follows redirects only within the request's origin. Delete it from
// the event loop (deleteLater): it ends from inside its own notifications.
class CurlTransfer : public QObject {
public:
    enum class End {
        running,
        completed,       // the whole response arrived
        failed,          // the connection or the response broke off: errorText() says how
        notHttp,         // the address is no http or https one
        headersTooLarge, // a head past `Limits::headers` in all, or a line past libcurl's own limit
        bodyTooLarge,    // a body past `Limits::body`, announced or as it arrived
        redirectedAway,  // to another origin, not followed
        aborted,
    };
    struct Limits {
        qint64 headers;
        qint64 body;
    };

    // Starts at once; a method other than GET sends `body`.
    CurlTransfer(const HttpRequest &request, const QByteArray &method, const QByteArray &body, Limits limits);
    ~CurlTransfer() override;
    CurlTransfer(const CurlTransfer &) = delete;
    CurlTransfer &operator=(const CurlTransfer &) = delete;

    // Ends a running exchange now, closing its connection.
    void abort();

    End end() const { return end_; }
    // The last response's HTTP status; 0 when none began.
    int status() const { return status_; }
    // The body received, up to the ceiling.
    const QByteArray &body() const { return body_; }
    const QString &errorText() const { return errorText_; }

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

    void configure(const HttpRequest &request, const QByteArray &method, const QByteArray &body);
    void watch(curl_socket_t socket, int what);
    void watchFor(QSocketNotifier *&notifier, curl_socket_t socket, bool wanted, int event);
    void drive(curl_socket_t socket, int events);
    size_t takeHeader(QByteArrayView line);
    size_t takeBody(QByteArrayView piece);
    size_t refuse(End why);
    bool leavesOrigin(QByteArrayView location) const;
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
    End refused_ = End::running;
    End end_ = End::running;
    int status_ = 0;
    QByteArray body_;
    QString errorText_;
    std::coroutine_handle<> waiting_;
};

} // namespace vima
