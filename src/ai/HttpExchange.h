#pragma once

#include "ai/HttpRequest.h"
#include "async/CancellationToken.h"
#include "async/Scheduler.h"

#include <QByteArray>
#include <QCoroTask>
#include <QJsonObject>
#include <QString>

namespace vima {

// The one HTTP exchange of the network providers: a fresh connection per
// request with nothing cached or kept, one deadline over the whole of it, a
// ceiling on what the server may send, and failures turned into LLMError.
// However it ends, its connection is closed by then.
class HttpExchange {
public:
    // No real answer comes near it: a body past it, decoded or as it comes
    // over the wire, is abandoned as it arrives.
    static constexpr int largestBodyMB = 8;
    static constexpr qint64 largestBody = qint64(largestBodyMB) * 1024 * 1024;
    // The head of a response, every line together.
    static constexpr qint64 largestHeaders = 256 * 1024;
    // Redirects followed within the request's origin; one elsewhere is refused.
    static constexpr int mostRedirects = 10;

    // Returns the body of a 2xx reply, following redirects within the
    // request's scheme, host and port; throws LLMError otherwise: answerTooLarge
    // past `largestBody`, headersTooLarge past `largestHeaders`, api with the
    // redirect's status for one refused.
    static QCoro::Task<QByteArray> send(HttpRequest request, QByteArray method, QByteArray body,
                                        double timeout, CancellationToken token, Scheduler &scheduler);
    // `send` of a JSON body by POST.
    static QCoro::Task<QByteArray> postJSON(HttpRequest request, const QJsonObject &body, double timeout,
                                            CancellationToken token, Scheduler &scheduler);
    // The message of a failed reply's body, cut to 300 characters.
    static QString apiErrorMessage(const QByteArray &body);
};

} // namespace vima
