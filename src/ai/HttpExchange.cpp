#include "ai/HttpExchange.h"

#include "ai/CurlTransfer.h"
#include "ai/LLMError.h"
#include "ai/LLMRequest.h"
#include "model/Text.h"

#include <QJsonDocument>
#include <QStringDecoder>
#include <memory>

namespace vima {
namespace {

constexpr qsizetype longestErrorMessage = 300;

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
    case CurlTransfer::End::redirectedAway:
        throw LLMError::api(transfer.status(),
                            QStringLiteral("It redirected to another server, which Tavelon doesn't follow."));
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
    if (status < 200 || status > 299)
        throw LLMError::api(status, HttpExchange::apiErrorMessage(transfer.body()));
    if (transfer.end() != CurlTransfer::End::completed)
        // The server answered, then its body broke off or could not be
        // decoded: that is no network failure, and says nothing against the server.
        throw LLMError::invalidResponse();
    return transfer.body();
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

    const std::unique_ptr<CurlTransfer, DeferredDelete> transfer(
        new CurlTransfer(request, method, body, {largestHeaders, largestBody}));
    enum class Abort { none, deadline, cancellation };
    Abort abort = Abort::none;
    // The abort resumes this exchange at once, which may end it: past that
    // call only this function's own stack is safe.
    const auto abortFor = [&abort, raw = transfer.get()](Abort reason) {
        if (abort != Abort::none || raw->end() != CurlTransfer::End::running)
            return;
        abort = reason;
        raw->abort();
    };
    const ExchangeGuard guard(
        scheduler,
        scheduler.schedule(LLMRequest::clampedTimeout(timeout), [&] { abortFor(Abort::deadline); }),
        token, token.onCancel([&] { abortFor(Abort::cancellation); }));

    co_await transfer->ended();
    if (abort == Abort::deadline)
        throw LLMError::timedOut();
    if (abort == Abort::cancellation)
        throw LLMError::cancelled();
    co_return outcome(*transfer);
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
