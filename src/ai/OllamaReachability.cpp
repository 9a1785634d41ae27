#include "ai/OllamaReachability.h"

#include "ai/HttpExchange.h"
#include "ai/LLMError.h"
#include "model/Settings.h"

#include <QNetworkRequest>

namespace vima {

OllamaReachability::OllamaReachability(Scheduler &scheduler) : scheduler_(scheduler) {}

QUrl OllamaReachability::defaultURL() { return QUrl(AISettings::defaultOllamaBaseURL); }

QUrl OllamaReachability::appending(const QUrl &base, const QString &component)
{
    QUrl url = base;
    QString path = url.path();
    if (!path.endsWith(QLatin1Char('/')))
        path += QLatin1Char('/');
    url.setPath(path + component);
    return url;
}

QCoro::Task<bool> OllamaReachability::probe(QUrl base, CancellationToken token)
{
    QNetworkRequest request(appending(base, QStringLiteral("api/tags")));
    bool reachable = false;
    try {
        const QByteArray body = co_await HttpExchange::send(request, "GET", {}, probeTimeout, token,
                                                          scheduler_);
        reachable = !body.isEmpty();
    } catch (const LLMError &error) {
        if (error.kind() == LLMError::Case::cancelled)
            co_return false;
    }
    record(reachable, base.toString());
    co_return reachable;
}

std::optional<bool> OllamaReachability::lookup(const QUrl &base) const
{
    std::lock_guard guard(lock_);
    const auto it = results_.find(base.toString());
    if (it == results_.end() || scheduler_.now() - it->second.at >= staleAfter)
        return std::nullopt;
    return it->second.ok;
}

void OllamaReachability::record(bool ok, const QString &key)
{
    std::lock_guard guard(lock_);
    results_[key] = Result{ok, scheduler_.now()};
}

} // namespace vima
