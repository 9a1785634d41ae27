#include "ai/HttpExchange.h"

#include "ai/CurlTransfer.h"
#include "ai/CurlUrl.h"
#include "ai/LLMError.h"
#include "ai/LLMRequest.h"
#include "ai/ShownAddress.h"
#include "model/LogText.h"
#include "model/Text.h"

#include <QJsonDocument>
#include <QStringDecoder>
#include <memory>

namespace vima {
namespace {

constexpr qsizetype longestErrorMessage = 300;
constexpr qsizetype longestShownTarget = 200;

// Ends a transfer that is still running and deletes it from the event loop:
// the exchange may end inside one of the transfer's own notifications.
struct DeferredDelete {
    void operator()(CurlTransfer *transfer) const
    {
        transfer->abort();
        transfer->deleteLater();
    }
};

// Undoes the deadline and the cancellation hook on every way out of an exchange.
class ExchangeGuard {
public:
    ExchangeGuard(Scheduler &scheduler, Scheduler::TimerId timer, CancellationToken token,
                  CancellationToken::Registration registration)
        : scheduler_(scheduler), timer_(timer), token_(std::move(token)), registration_(registration)
    {
    }
    ~ExchangeGuard()
    {
        scheduler_.cancel(timer_);
        token_.removeCallback(registration_);
    }
    ExchangeGuard(const ExchangeGuard &) = delete;
    ExchangeGuard &operator=(const ExchangeGuard &) = delete;

private:
    Scheduler &scheduler_;
    Scheduler::TimerId timer_;
    CancellationToken token_;
    CancellationToken::Registration registration_;
};

QString noTarget() { return QStringLiteral("It redirected without saying where to."); }

// What became of a transfer that didn't end by the caller's hand.
QByteArray outcome(const CurlTransfer &transfer)
{
    switch (transfer.end()) {
    case CurlTransfer::End::bodyTooLarge:
        throw LLMError::answerTooLarge(HttpExchange::largestBodyMB);
    case CurlTransfer::End::headersTooLarge:
        throw LLMError::headersTooLarge();
    case CurlTransfer::End::notHttp:
        throw LLMError::invalidResponse();
    case CurlTransfer::End::outOfMemory:
        throw LLMError::outOfMemory();
    case CurlTransfer::End::redirected: // judged before
    case CurlTransfer::End::failed:
        if (transfer.status() == 0)
            throw LLMError::transport(transfer.errorText());
        break;
    case CurlTransfer::End::completed:
        break;
    case CurlTransfer::End::running:
    case CurlTransfer::End::aborted:
        throw LLMError::cancelled();
    }
    const int status = transfer.status();
    if (status < 200 || status > 299) {
        QString message = HttpExchange::apiErrorMessage(transfer.body());
        // A reply that broke off says at least how.
        if (message.isEmpty())
            message = Text::cut(transfer.errorText(), longestErrorMessage);
        if (message.isEmpty() && CurlTransfer::isRedirect(status))
            message = noTarget();
        throw LLMError::api(status, message);
    }
    if (transfer.end() != CurlTransfer::End::completed)
        // The server answered, then its body broke off or could not be
        // decoded: that is no network failure, and says nothing against the server.
        throw LLMError::invalidResponse();
    return transfer.body();
}

// Where a refused redirect pointed, as libcurl reads it when it can, as plain text.
QString shownTarget(const CurlTransfer &transfer)
{
    const QByteArray &target = transfer.redirectTarget();
    return Text::cut(shownAddress(target.isEmpty() ? transfer.location() : target), longestShownTarget);
}

// The next hop's address, libcurl's own reading of the Location: a redirect
// goes nowhere but to `origin`, whatever parsers make of its Location.
QByteArray redirectTarget(const CurlTransfer &transfer, const CurlUrl &origin, int hop)
{
    const auto refuse = [&](const QString &text) {
        return LLMError::api(transfer.status(), text.arg(shownTarget(transfer)));
    };
    if (transfer.locationHasControls())
        throw refuse(QStringLiteral(
            "It redirected to “%1”, an address holding control characters, which Tavelon doesn't follow."));
    const CurlUrl target(transfer.redirectTarget());
    if (!target.isValid())
        throw refuse(QStringLiteral("It redirected to “%1”, an address Tavelon can't read."));
    if (!target.sameOrigin(origin))
        throw refuse(QStringLiteral("It redirected elsewhere, to “%1”, which Tavelon doesn't follow."));
    if (hop >= HttpExchange::mostRedirects)
        throw refuse(
            QStringLiteral("It redirected more than %1 times, last to “%2”.").arg(HttpExchange::mostRedirects));
    return transfer.redirectTarget();
}

} // namespace

QCoro::Task<QByteArray> HttpExchange::postJSON(HttpRequest request, const QJsonObject &body, double timeout,
                                               CancellationToken token, Scheduler &scheduler)
{
    request.headers.append({QByteArrayLiteral("Content-Type"), QByteArrayLiteral("application/json")});
    return send(std::move(request), "POST", QJsonDocument(body).toJson(QJsonDocument::Compact), timeout,
                std::move(token), scheduler);
}

QCoro::Task<QByteArray> HttpExchange::send(HttpRequest request, QByteArray method, QByteArray body,
                                           double timeout, CancellationToken token, Scheduler &scheduler)
{
    if (token.isCancelled())
        throw LLMError::cancelled();

    std::unique_ptr<CurlTransfer, DeferredDelete> transfer;
    enum class Abort { none, deadline, cancellation };
    Abort abort = Abort::none;
    // The abort resumes this exchange at once, which may end it: past that
    // call only this function's own stack is safe.
    const auto abortFor = [&abort, &transfer](Abort reason) {
        CurlTransfer *raw = transfer.get();
        if (abort != Abort::none || !raw || raw->end() != CurlTransfer::End::running)
            return;
        abort = reason;
        raw->abort();
    };
    const ExchangeGuard guard(
        scheduler,
        scheduler.schedule(LLMRequest::clampedTimeout(timeout), [&] { abortFor(Abort::deadline); }),
        token, token.onCancel([&] { abortFor(Abort::cancellation); }));

    QByteArray url = request.url;
    const CurlUrl origin(url);
    for (int hop = 0;; ++hop) {
        transfer.reset(new CurlTransfer(url, request.headers, method, body, {largestHeaders, largestBody}));
        co_await transfer->ended();
        if (abort == Abort::deadline)
            throw LLMError::timedOut();
        if (abort == Abort::cancellation)
            throw LLMError::cancelled();
        if (transfer->end() != CurlTransfer::End::redirected)
            co_return outcome(*transfer);
        url = redirectTarget(*transfer, origin, hop);
        // As browsers and libcurl do: a 303 asks for the new address by GET,
        // and a 301 or 302 turns a POST into one.
        const int status = transfer->status();
        if (status == 303 || (method == "POST" && (status == 301 || status == 302))) {
            method = "GET";
            body.clear();
        }
    }
}

QString HttpExchange::apiErrorMessage(const QByteArray &body)
{
    // The provider's own message is cut like any other body text: a failed
    // reply never puts more than 301 characters in front of the user.
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(body, &parseError);
    if (parseError.error == QJsonParseError::NoError && document.isObject()) {
        const QJsonValue error = document.object().value(QLatin1String("error"));
        const QJsonValue message = error.toObject().value(QLatin1String("message"));
        if (message.isString())
            return Text::cut(message.toString(), longestErrorMessage);
        if (error.isString())
            return Text::cut(error.toString(), longestErrorMessage);
    }
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder.decode(body);
    if (decoder.hasError())
        return {};
    return Text::cut(text, longestErrorMessage);
}

} // namespace vima
