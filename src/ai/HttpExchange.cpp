#include "ai/HttpExchange.h"

#include "ai/LLMError.h"
#include "ai/LLMRequest.h"
#include "model/Text.h"

#include <QCoroNetworkReply>
#include <QJsonDocument>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QScopeGuard>
#include <QStringDecoder>
#include <memory>

namespace vima {
namespace {

constexpr qsizetype longestErrorMessage = 300;

// Deletes the manager from the event loop: its reply may still be emitting
// `finished` when the exchange ends.
struct DeferredDelete {
    void operator()(QObject *object) const { object->deleteLater(); }
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

} // namespace

QCoro::Task<QByteArray> HttpExchange::postJSON(QNetworkRequest request, const QJsonObject &body, double timeout,
                                               CancellationToken token, Scheduler &scheduler)
{
    request.setHeader(QNetworkRequest::ContentTypeHeader, QByteArrayLiteral("application/json"));
    return send(std::move(request), "POST", QJsonDocument(body).toJson(QJsonDocument::Compact), timeout,
                std::move(token), scheduler);
}

QCoro::Task<QByteArray> HttpExchange::send(QNetworkRequest request, QByteArray method, QByteArray body,
                                           double timeout, CancellationToken token, Scheduler &scheduler)
{
    if (token.isCancelled())
        throw LLMError::cancelled();

    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    request.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
    // A redirect to another host would carry the API key along with it.
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::SameOriginRedirectPolicy);
    // A manager per exchange: no connection, cookie or credential outlives it.
    const std::unique_ptr<QNetworkAccessManager, DeferredDelete> manager(new QNetworkAccessManager);
    QNetworkReply *reply = method == "GET" ? manager->get(request)
                                           : manager->sendCustomRequest(request, method, body);

    // Qt reports all of our aborts as a cancelled operation; remember which it was.
    enum class Abort { none, deadline, cancellation, tooLarge };
    Abort abort = Abort::none;
    const auto abortFor = [&abort, reply, owner = manager.get()](Abort reason) {
        if (abort != Abort::none)
            return;
        abort = reason;
        if (reply->isFinished())
            return;
        // abort() emits finished at once, which resumes this exchange and may
        // end it: past that call only this function's own stack is safe. The
        // manager itself is deleted later, from the event loop.
        QNetworkAccessManager *const manager = owner;
        reply->abort();
        // Ends the manager's connection thread now rather than when the
        // manager goes: until then a runaway body keeps being read, behind
        // everything the server has already pushed.
        manager->clearConnectionCache();
    };
    const ExchangeGuard guard(
        scheduler,
        scheduler.schedule(LLMRequest::clampedTimeout(timeout), [&] { abortFor(Abort::deadline); }),
        token, token.onCancel([&] { abortFor(Abort::cancellation); }));

    // Read as it arrives, so that a runaway body is dropped at the ceiling
    // instead of being held whole.
    QByteArray received;
    constexpr qint64 readAhead = 1024 * 1024;
    reply->setReadBufferSize(readAhead);
    // A request with a body has started by now, and its connection thread
    // missed the limit: set it again once that thread is listening.
    QMetaObject::invokeMethod(reply, [reply] { reply->setReadBufferSize(readAhead); }, Qt::QueuedConnection);
    const auto take = [&] {
        if (abort != Abort::none)
            return;
        if (reply->header(QNetworkRequest::ContentLengthHeader).toLongLong() > largestBody
            || received.size() + reply->bytesAvailable() > largestBody) {
            abortFor(Abort::tooLarge);
            return;
        }
        received += reply->readAll();
    };
    // The reply outlives the exchange until the manager goes: nothing of it
    // may reach this frame afterwards.
    const auto stopTaking = qScopeGuard(
        [connection = QObject::connect(reply, &QNetworkReply::readyRead, manager.get(), take)] {
            QObject::disconnect(connection);
        });

    co_await reply;
    // Before the last read: a file reply reports a status once read.
    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    take(); // what came with the end

    if (abort == Abort::tooLarge)
        throw LLMError::answerTooLarge(largestBodyMB);
    if (abort == Abort::deadline)
        throw LLMError::timedOut();
    if (abort == Abort::cancellation)
        throw LLMError::cancelled();

    if (status.isValid()) {
        const int code = status.toInt();
        if (code < 200 || code > 299)
            throw LLMError::api(code, apiErrorMessage(received));
        if (reply->error() == QNetworkReply::NoError)
            co_return received;
        // The server answered, then its body broke off or could not be
        // decoded: that is no network failure, and says nothing against the server.
        throw LLMError::invalidResponse();
    }
    if (reply->error() != QNetworkReply::NoError)
        throw LLMError::transport(reply->errorString());
    throw LLMError::invalidResponse();
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
