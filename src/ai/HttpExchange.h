#pragma once

#include "async/CancellationToken.h"
#include "async/Scheduler.h"

#include <QByteArray>
#include <QCoroTask>
#include <QJsonObject>
#include <QNetworkRequest>
#include <QString>

namespace vima {

// The one HTTP exchange of the network providers: a fresh, cache-less
// connection per request, one deadline over the whole of it, and failures
// turned into LLMError.
class HttpExchange {
public:
    // No real answer comes near it: a body past it is abandoned as it arrives.
    static constexpr int largestBodyMB = 8;
    static constexpr qint64 largestBody = qint64(largestBodyMB) * 1024 * 1024;

    // Returns the body of a 2xx reply; throws LLMError otherwise, answerTooLarge
    // past `largestBody`.
    static QCoro::Task<QByteArray> send(QNetworkRequest request, QByteArray method, QByteArray body,
                                        double timeout, CancellationToken token, Scheduler &scheduler);
    // `send` of a JSON body by POST.
    static QCoro::Task<QByteArray> postJSON(QNetworkRequest request, const QJsonObject &body, double timeout,
                                            CancellationToken token, Scheduler &scheduler);
    // The message of a failed reply's body, cut to 300 characters.
    static QString apiErrorMessage(const QByteArray &body);
};

} // namespace vima
