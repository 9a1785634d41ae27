#include "ai/CurlTransfer.h"

#include <QSocketNotifier>
#include <QTimer>
#include <algorithm>
#include <climits>
#include <sys/socket.h>
#include <utility>

namespace vima {

namespace {

// Once, before the first handle of the process.
void initialiseCurl()
{
    [[maybe_unused]] static const CURLcode initialised = curl_global_init(CURL_GLOBAL_DEFAULT);
}

int defaultPort(const QUrl &url) { return url.scheme() == QLatin1String("https") ? 443 : 80; }

// libcurl's own sockets pass into every program started meanwhile (a script,
// an application, the clipboard keeper), which would hold the connection open
// long after the exchange ended.
curl_socket_t openClosedOnExec(void *, curlsocktype, curl_sockaddr *address)
{
    return ::socket(address->family, address->socktype | SOCK_CLOEXEC, address->protocol);
}

} // namespace

CurlTransfer::CurlTransfer(const HttpRequest &request, const QByteArray &method, const QByteArray &body,
                           Limits limits)
    : limits_(limits), timer_(new QTimer(this))
{
    initialiseCurl();
    timer_->setSingleShot(true);
    connect(timer_, &QTimer::timeout, this, [this] { drive(CURL_SOCKET_TIMEOUT, 0); });
    multi_ = curl_multi_init();
    easy_ = curl_easy_init();
    if (multi_ && easy_) {
        curl_multi_setopt(multi_, CURLMOPT_SOCKETFUNCTION, &CurlTransfer::onSocket);
        curl_multi_setopt(multi_, CURLMOPT_SOCKETDATA, this);
        curl_multi_setopt(multi_, CURLMOPT_TIMERFUNCTION, &CurlTransfer::onTimer);
        curl_multi_setopt(multi_, CURLMOPT_TIMERDATA, this);
        configure(request, method, body);
        // Asks for the first step through the timer, from the event loop.
        if (curl_multi_add_handle(multi_, easy_) == CURLM_OK)
            return;
    }
    errorText_ = QStringLiteral("libcurl could not start the request.");
    finish(End::failed);
}

CurlTransfer::~CurlTransfer() { release(); }

void CurlTransfer::configure(const HttpRequest &request, const QByteArray &method, const QByteArray &body)
{
    curl_easy_setopt(easy_, CURLOPT_URL, request.url.toEncoded().constData());
    curl_easy_setopt(easy_, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(easy_, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(easy_, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(easy_, CURLOPT_MAXREDIRS, 10L);
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

    // A large body would otherwise wait for "100 Continue" first.
    headers_ = curl_slist_append(headers_, "Expect:");
    for (const auto &[name, value] : request.headers) {
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
    // A redirect elsewhere would carry the request's headers, API key
    // included, to a server the user never named.
    long status = 0;
    curl_easy_getinfo(easy_, CURLINFO_RESPONSE_CODE, &status);
    const QByteArrayView name("location:");
    if (status / 100 == 3 && line.size() > name.size() && qstrnicmp(line.data(), name.data(), name.size()) == 0
        && leavesOrigin(line.sliced(name.size()).trimmed()))
        return refuse(End::redirectedAway);
    return size_t(line.size());
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

// Makes libcurl fail the exchange, for `why`.
size_t CurlTransfer::refuse(End why)
{
    refused_ = why;
    return CURL_WRITEFUNC_ERROR;
}

bool CurlTransfer::leavesOrigin(QByteArrayView location) const
{
    char *current = nullptr;
    curl_easy_getinfo(easy_, CURLINFO_EFFECTIVE_URL, &current);
    const QUrl here = QUrl::fromEncoded(QByteArray(current));
    const QUrl there = here.resolved(QUrl::fromEncoded(location.toByteArray()));
    return !there.isValid() || there.scheme() != here.scheme() || there.host() != here.host()
           || there.port(defaultPort(there)) != here.port(defaultPort(here));
}

CurlTransfer::End CurlTransfer::endOf(CURLcode result)
{
    if (refused_ != End::running)
        return refused_;
    switch (result) {
    case CURLE_OK:
        return End::completed;
    case CURLE_UNSUPPORTED_PROTOCOL:
        return End::notHttp;
    case CURLE_OUT_OF_MEMORY:
        // How libcurl refuses a header line past its own limit (100 KB).
        return End::headersTooLarge;
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
