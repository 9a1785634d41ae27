#include "ai/OllamaReachability.h"

#include "ai/CurlTransfer.h"
#include "ai/CurlUrl.h"
#include "ai/HttpExchange.h"
#include "ai/LLMError.h"
#include "model/Settings.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace vima {

namespace {

// The names in a reply of "api/tags"; nothing when it holds no model list.
std::optional<QStringList> modelNames(const QByteArray &body)
{
    const QJsonValue models = QJsonDocument::fromJson(body).object().value(QLatin1String("models"));
    if (!models.isArray())
        return std::nullopt;
    QStringList names;
    for (const QJsonValue model : models.toArray()) {
        const QString name = model.toObject().value(QLatin1String("name")).toString();
        if (!name.isEmpty())
            names << name;
    }
    return names;
}

QString withTag(const QString &model)
{
    const QString name = model.trimmed();
    const qsizetype lastSegment = name.lastIndexOf(QLatin1Char('/')) + 1;
    return name.indexOf(QLatin1Char(':'), lastSegment) < 0 ? name + QStringLiteral(":latest") : name;
}

} // namespace

OllamaReachability::OllamaReachability(Scheduler &scheduler) : scheduler_(scheduler) {}

OllamaReachability::~OllamaReachability() { lifetime_.cancel(); }

QString OllamaReachability::defaultURL() { return AISettings::defaultOllamaBaseURL; }

QByteArray OllamaReachability::appending(const QString &base, const QString &component)
{
    return isReadable(base) ? CurlUrl(base.toUtf8()).appending(component.toUtf8()) : QByteArray();
}

bool OllamaReachability::isReadable(const QString &base)
{
    const CurlUrl url(base.toUtf8());
    return url.isValid() && !url.hasAtPastHost();
}

bool OllamaReachability::speaksHttp(const QString &base)
{
    const QByteArray scheme = CurlUrl(base.toUtf8()).scheme();
    return scheme == "http" || scheme == "https";
}

// libcurl names the certificate whenever it refuses one, whatever its TLS
// library; none of its other failures mentions one.
bool OllamaReachability::refusedCertificate(const LLMError &error)
{
    return error.kind() == LLMError::Case::transport
           && error.text().contains(QLatin1String("certificate"), Qt::CaseInsensitive);
}

OllamaReachability::Result OllamaReachability::unreachable(const LLMError &failure)
{
    Result result;
    if (refusedCertificate(failure)) {
        result.failure = Readiness::certificateRefused;
        result.problem = failure.text();
    } else if (failure.kind() == LLMError::Case::api && failure.status() == 401) {
        result.failure = Readiness::loginRefused;
    } else if (failure.kind() == LLMError::Case::api && CurlTransfer::isRedirect(failure.status())) {
        result.failure = Readiness::redirectRefused;
        result.problem = failure.description();
    }
    return result;
}

QCoro::Task<bool> OllamaReachability::probe(QString base, CancellationToken token)
{
    // Nothing goes to a stand-in for an address that can't be read, and
    // libcurl would refuse another scheme in words that read as a server answering badly.
    if (!isReadable(base) || !speaksHttp(base))
        co_return false;
    // The caller's cancel or this cache's end stops the request; after the
    // latter nothing of `this` may be touched.
    const CancellationToken lifetime = lifetime_;
    CancellationToken exchange;
    const auto byCaller = token.onCancel([exchange]() mutable { exchange.cancel(); });
    const auto byLifetime = lifetime.onCancel([exchange]() mutable { exchange.cancel(); });
    ++probing_;
    const HttpRequest request{appending(base, QStringLiteral("api/tags")), {}};
    Result result;
    bool cancelled = false;
    try {
        const QByteArray body = co_await HttpExchange::send(request, "GET", {}, probeTimeout, exchange,
                                                          scheduler_);
        result.ok = !body.isEmpty();
        if (result.ok)
            result.models = modelNames(body);
        for (const QString &name : result.models.value_or(QStringList()))
            result.modelKeys.insert(modelKey(name));
    } catch (const LLMError &error) {
        cancelled = error.kind() == LLMError::Case::cancelled;
        result = unreachable(error);
        // A list too long or broken to read still came from a running server.
        result.ok = error.kind() == LLMError::Case::answerTooLarge
                    || error.kind() == LLMError::Case::headersTooLarge
                    || error.kind() == LLMError::Case::invalidResponse;
    }
    token.removeCallback(byCaller);
    lifetime.removeCallback(byLifetime);
    if (lifetime.isCancelled())
        co_return false;
    --probing_;
    if (cancelled)
        co_return false;
    const bool reachable = result.ok;
    record(std::move(result), base);
    co_return reachable;
}

void OllamaReachability::recordUnreachable(const QString &base, const LLMError &failure)
{
    record(unreachable(failure), base);
}

std::optional<QStringList> OllamaReachability::models(const QString &base) const
{
    std::lock_guard guard(lock_);
    const Result *result = fresh(base);
    return result ? result->models : std::nullopt;
}

OllamaReachability::Readiness OllamaReachability::readiness(const QString &base, const QString &model) const
{
    if (!isReadable(base))
        return Readiness::unreadable;
    if (!speaksHttp(base))
        return Readiness::notHttp;
    std::lock_guard guard(lock_);
    const Result *result = fresh(base);
    if (!result)
        return Readiness::unknown;
    if (!result->ok)
        return result->failure;
    if (result->models && !result->modelKeys.contains(modelKey(model)))
        return Readiness::notPulled;
    return Readiness::ready;
}

QString OllamaReachability::problem(const QString &base) const
{
    std::lock_guard guard(lock_);
    const Result *result = fresh(base);
    return result ? result->problem : QString();
}

void OllamaReachability::recordMissing(const QString &base, const QString &model)
{
    std::lock_guard guard(lock_);
    const auto it = results_.find(base);
    if (it == results_.end() || !it->second.models)
        return;
    const QString key = modelKey(model);
    it->second.models->removeIf([&key](const QString &name) { return modelKey(name) == key; });
    it->second.modelKeys.remove(key);
}

bool OllamaReachability::sameModel(const QString &one, const QString &other)
{
    return modelKey(one) == modelKey(other);
}

QString OllamaReachability::modelKey(const QString &name)
{
    return withTag(name).toCaseFolded();
}

// Called with the lock held.
const OllamaReachability::Result *OllamaReachability::fresh(const QString &base) const
{
    const auto it = results_.find(base);
    if (it == results_.end() || scheduler_.now() - it->second.at >= staleAfter)
        return nullptr;
    return &it->second;
}

void OllamaReachability::record(Result result, const QString &key)
{
    result.at = scheduler_.now();
    std::lock_guard guard(lock_);
    results_[key] = std::move(result);
}

} // namespace vima
