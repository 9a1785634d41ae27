#include "ai/CurlTransfer.h"

#include <QSocketNotifier>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <linux/tcp.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <utility>

namespace vima {

namespace {

// Up to 8.5, libcurl refuses a header line past its own limit as out of
// memory (later as CURLE_TOO_LARGE): an allocation that really failed is
// counted here to tell the two apart.
std::atomic<quint64> failedAllocations{0};

template<typename T>
T *counted(T *memory, size_t size)
{
    if (!memory && size != 0)
        failedAllocations.fetch_add(1, std::memory_order_relaxed);
    return memory;
}

void *curlMalloc(size_t size) { return counted(std::malloc(size), size); }
void *curlRealloc(void *memory, size_t size) { return counted(std::realloc(memory, size), size); }
void *curlCalloc(size_t count, size_t size) { return counted(std::calloc(count, size), count * size); }
char *curlStrdup(const char *text) { return counted(::strdup(text), 1); }

// libcurl's code for a value past its limit, from 8.6 on.
constexpr CURLcode tooLarge = CURLcode(100);

// Once, before the first handle of the process.
void initialiseCurl()
{
    [[maybe_unused]] static const CURLcode initialised =
        curl_global_init_mem(CURL_GLOBAL_DEFAULT, curlMalloc, std::free, curlRealloc, curlStrdup, curlCalloc);
}

// The value of a header line, without the line end and blanks around it.
QByteArrayView fieldValue(QByteArrayView line, qsizetype nameSize)
{
    QByteArrayView value = line.sliced(nameSize);
    if (value.endsWith('\n'))
        value.chop(1);
    if (value.endsWith('\r'))
        value.chop(1);
    while (!value.isEmpty() && (value.front() == ' ' || value.front() == '\t'))
        value = value.sliced(1);
    while (!value.isEmpty() && (value.back() == ' ' || value.back() == '\t'))
        value.chop(1);
    return value;
}

// What the system has taken from a connection so far, head, chunk framing
// and all: libcurl's callbacks see none of the framing, which a server can
// make endless.
qint64 arrivedOn(curl_socket_t socket)
{
    tcp_info info{};
    socklen_t size = sizeof info;
    if (::getsockopt(socket, IPPROTO_TCP, TCP_INFO, &info, &size) != 0
        || size < offsetof(tcp_info, tcpi_bytes_received) + sizeof info.tcpi_bytes_received)
        return 0;
    return qint64(std::min<quint64>(info.tcpi_bytes_received, quint64(LLONG_MAX)));
}

// libcurl's own sockets pass into every program started meanwhile (a script,
// an application, the clipboard keeper), which would hold the connection open
// long after the exchange ended.
curl_socket_t openClosedOnExec(void *, curlsocktype, curl_sockaddr *address)
{
    return ::socket(address->family, address->socktype | SOCK_CLOEXEC, address->protocol);
}

} // namespace

CurlTransfer::CurlTransfer(const QByteArray &url, const HttpRequest::Headers &headers, const QByteArray &method,
                           const QByteArray &body, Limits limits)
    : limits_(limits), timer_(new QTimer(this))
{
    initialiseCurl();
    failedAllocations_ = failedAllocations.load(std::memory_order_relaxed);
    timer_->setSingleShot(true);
    connect(timer_, &QTimer::timeout, this, [this] { drive(CURL_SOCKET_TIMEOUT, 0); });
    multi_ = curl_multi_init();
    easy_ = curl_easy_init();
    if (multi_ && easy_) {
        curl_multi_setopt(multi_, CURLMOPT_SOCKETFUNCTION, &CurlTransfer::onSocket);
        curl_multi_setopt(multi_, CURLMOPT_SOCKETDATA, this);
        curl_multi_setopt(multi_, CURLMOPT_TIMERFUNCTION, &CurlTransfer::onTimer);
        curl_multi_setopt(multi_, CURLMOPT_TIMERDATA, this);
        configure(url, headers, method, body);
        // Asks for the first step through the timer, from the event loop.
        if (curl_multi_add_handle(multi_, easy_) == CURLM_OK)
            return;
    }
    errorText_ = QStringLiteral("libcurl could not start the request.");
    finish(End::failed);
}

CurlTransfer::~CurlTransfer() { release(); }

bool CurlTransfer::isRedirect(int status)
{
    return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

void CurlTransfer::configure(const QByteArray &url, const HttpRequest::Headers &headers, const QByteArray &method,
                             const QByteArray &body)
{
    curl_easy_setopt(easy_, CURLOPT_URL, url.constData());
    curl_easy_setopt(easy_, CURLOPT_PROTOCOLS_STR, "http,https");
    // The caller judges a redirect's target with libcurl's own reading of it.
    curl_easy_setopt(easy_, CURLOPT_FOLLOWLOCATION, 0L);
    // Nothing of one exchange serves another.
    curl_easy_setopt(easy_, CURLOPT_FRESH_CONNECT, 1L);
    curl_easy_setopt(easy_, CURLOPT_FORBID_REUSE, 1L);
    // Straight to the server, whatever proxy the environment names.
    curl_easy_setopt(easy_, CURLOPT_PROXY, "");
    curl_easy_setopt(easy_, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(easy_, CURLOPT_OPENSOCKETFUNCTION, &openClosedOnExec);
    // The exchange's own deadline ends a connection attempt, also one longer
    // than libcurl's default of 300 s.
    curl_easy_setopt(easy_, CURLOPT_CONNECTTIMEOUT_MS, 24L * 3600 * 1000);
    // A name still being looked up is left to its resolver thread instead of
    // holding this thread until the lookup ends.
    curl_easy_setopt(easy_, CURLOPT_QUICK_EXIT, 1L);
    curl_easy_setopt(easy_, CURLOPT_ACCEPT_ENCODING, "");
    curl_easy_setopt(easy_, CURLOPT_USERAGENT, "Tavelon");
    curl_easy_setopt(easy_, CURLOPT_ERRORBUFFER, errorBuffer_);
    curl_easy_setopt(easy_, CURLOPT_HEADERFUNCTION, &CurlTransfer::onHeader);
    curl_easy_setopt(easy_, CURLOPT_HEADERDATA, this);
    curl_easy_setopt(easy_, CURLOPT_WRITEFUNCTION, &CurlTransfer::onBody);
    curl_easy_setopt(easy_, CURLOPT_WRITEDATA, this);
    curl_easy_setopt(easy_, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(easy_, CURLOPT_XFERINFOFUNCTION, &CurlTransfer::onProgress);
    curl_easy_setopt(easy_, CURLOPT_XFERINFODATA, this);

    // A large body would otherwise wait for "100 Continue" first.
    headers_ = curl_slist_append(headers_, "Expect:");
    for (const auto &[name, value] : headers) {
        // libcurl leaves out a header with only blanks after its colon; this form sends it empty.
        const QByteArray line = value.trimmed().isEmpty() ? name + ';' : name + ": " + value;
        headers_ = curl_slist_append(headers_, line.constData());
    }
    curl_easy_setopt(easy_, CURLOPT_HTTPHEADER, headers_);
    if (method == "GET")
        return;
    curl_easy_setopt(easy_, CURLOPT_POSTFIELDSIZE_LARGE, curl_off_t(body.size()));
    curl_easy_setopt(easy_, CURLOPT_COPYPOSTFIELDS, body.constData());
    if (method != "POST")
        curl_easy_setopt(easy_, CURLOPT_CUSTOMREQUEST, method.constData());
}

void CurlTransfer::abort()
{
    if (end_ == End::running)
        finish(End::aborted);
}

int CurlTransfer::onSocket(CURL *, curl_socket_t socket, int what, void *self, void *)
{
    static_cast<CurlTransfer *>(self)->watch(socket, what);
    return 0;
}

int CurlTransfer::onTimer(CURLM *, long milliseconds, void *self)
{
    QTimer *timer = static_cast<CurlTransfer *>(self)->timer_;
    if (milliseconds < 0)
        timer->stop();
    else
        timer->start(int(std::min<long>(milliseconds, INT_MAX)));
    return 0;
}

size_t CurlTransfer::onHeader(char *data, size_t size, size_t count, void *self)
{
    return static_cast<CurlTransfer *>(self)->takeHeader(QByteArrayView(data, qsizetype(size * count)));
}

size_t CurlTransfer::onBody(char *data, size_t size, size_t count, void *self)
{
    return static_cast<CurlTransfer *>(self)->takeBody(QByteArrayView(data, qsizetype(size * count)));
}

int CurlTransfer::onProgress(void *self, curl_off_t, curl_off_t received, curl_off_t, curl_off_t)
{
    return static_cast<CurlTransfer *>(self)->takeProgress(qint64(received));
}

void CurlTransfer::watch(curl_socket_t socket, int what)
{
    Watch &watch = watches_[socket];
    if (what == CURL_POLL_REMOVE) {
        // Either may be the one whose notification is running.
        for (QSocketNotifier *notifier : {watch.read, watch.write}) {
            if (notifier) {
                notifier->setEnabled(false);
                notifier->deleteLater();
            }
        }
        watches_.erase(socket);
        return;
    }
    watchFor(watch.read, socket, what & CURL_POLL_IN, CURL_CSELECT_IN);
    watchFor(watch.write, socket, what & CURL_POLL_OUT, CURL_CSELECT_OUT);
}

void CurlTransfer::watchFor(QSocketNotifier *&notifier, curl_socket_t socket, bool wanted, int event)
{
    if (!notifier && !wanted)
        return;
    if (!notifier) {
        const auto type = event == CURL_CSELECT_IN ? QSocketNotifier::Read : QSocketNotifier::Write;
        notifier = new QSocketNotifier(socket, type, this);
        connect(notifier, &QSocketNotifier::activated, this, [this, socket, event] { drive(socket, event); });
    }
    notifier->setEnabled(wanted);
}

void CurlTransfer::drive(curl_socket_t socket, int events)
{
    if (end_ != End::running)
        return;
    int running = 0;
    curl_multi_socket_action(multi_, socket, events, &running);
    int queued = 0;
    while (const CURLMsg *message = curl_multi_info_read(multi_, &queued)) {
        if (message->msg == CURLMSG_DONE) {
            finish(endOf(message->data.result));
            return;
        }
    }
}

size_t CurlTransfer::takeHeader(QByteArrayView line)
{
    headerBytes_ += line.size();
    if (headerBytes_ > limits_.headers)
        return refuse(End::headersTooLarge);
    // Each response of the exchange (an interim 1xx, then the last) begins
    // with its status line.
    if (line.startsWith("HTTP/")) {
        location_.clear();
        locationHasControls_ = false;
    }
    const QByteArrayView name("location:");
    if (line.size() >= name.size() && qstrnicmp(line.data(), name.data(), name.size()) == 0)
        takeLocation(fieldValue(line, name.size()));
    return size_t(line.size());
}

void CurlTransfer::takeLocation(QByteArrayView value)
{
    if (std::any_of(value.begin(), value.end(), [](char byte) { return uchar(byte) < 0x21 || uchar(byte) == 0x7f; }))
        locationHasControls_ = true;
    if (location_.isEmpty())
        location_ = value.toByteArray();
}

size_t CurlTransfer::takeBody(QByteArrayView piece)
{
    curl_off_t announced = -1;
    curl_easy_getinfo(easy_, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &announced);
    if (announced > limits_.body || body_.size() + piece.size() > limits_.body)
        return refuse(End::bodyTooLarge);
    body_.append(piece);
    return size_t(piece.size());
}

// What arrived on the wire, before decoding: a compressed stream that
// decodes to nothing (an endless gzip file name, empty deflate blocks, zstd
// skippable frames) never reaches the body's ceiling.
int CurlTransfer::takeProgress(qint64 received)
{
    if (received > limits_.body || arrived() > limits_.headers + limits_.body) {
        refused_ = End::bodyTooLarge;
        return 1;
    }
    if (received - body_.size() > undecodedSlack) {
        errorText_ = QStringLiteral("The body decodes to less than arrived.");
        refused_ = End::failed;
        return 1;
    }
    return 0;
}

qint64 CurlTransfer::arrived() const
{
    qint64 total = 0;
    for (const auto &[socket, watch] : watches_)
        total += arrivedOn(socket);
    return total;
}

// Makes libcurl fail the exchange, for `why`.
size_t CurlTransfer::refuse(End why)
{
    refused_ = why;
    return CURL_WRITEFUNC_ERROR;
}

CurlTransfer::End CurlTransfer::endOf(CURLcode result)
{
    if (refused_ != End::running)
        return refused_;
    if (result == tooLarge)
        return End::headersTooLarge;
    switch (result) {
    case CURLE_OK: {
        long status = 0;
        curl_easy_getinfo(easy_, CURLINFO_RESPONSE_CODE, &status);
        return isRedirect(int(status)) && !location_.isEmpty() ? End::redirected : End::completed;
    }
    case CURLE_UNSUPPORTED_PROTOCOL:
        return End::notHttp;
    case CURLE_OUT_OF_MEMORY:
        return failedAllocations.load(std::memory_order_relaxed) != failedAllocations_ ? End::outOfMemory
                                                                                         : End::headersTooLarge;
    default:
        errorText_ = QString::fromUtf8(errorBuffer_[0] ? errorBuffer_ : curl_easy_strerror(result));
        return End::failed;
    }
}

void CurlTransfer::finish(End end)
{
    if (easy_) {
        long status = 0;
        curl_easy_getinfo(easy_, CURLINFO_RESPONSE_CODE, &status);
        status_ = int(status);
        char *target = nullptr;
        if (end == End::redirected && curl_easy_getinfo(easy_, CURLINFO_REDIRECT_URL, &target) == CURLE_OK)
            redirectTarget_ = QByteArray(target);
    }
    release();
    end_ = end;
    if (waiting_)
        std::exchange(waiting_, {}).resume();
}

// Closes the connection and forgets every handle.
void CurlTransfer::release()
{
    if (easy_) {
        if (multi_)
            curl_multi_remove_handle(multi_, easy_);
        curl_easy_cleanup(easy_);
        easy_ = nullptr;
    }
    if (multi_) {
        curl_multi_cleanup(multi_);
        multi_ = nullptr;
    }
    curl_slist_free_all(headers_);
    headers_ = nullptr;
    timer_->stop();
}

} // namespace vima
