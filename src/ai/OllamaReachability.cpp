#include "ai/OllamaReachability.h"

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

bool OllamaReachability::speaksHttp(const QUrl &base)
{
    return base.scheme() == QLatin1String("http") || base.scheme() == QLatin1String("https");
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
    if (refusedCertificate(failure))
        result.certificateProblem = failure.text();
    return result;
}

QCoro::Task<bool> OllamaReachability::probe(QUrl base, CancellationToken token)
{
    // libcurl would refuse it too, in words that read as a server answering badly.
    if (!speaksHttp(base))
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
    record(std::move(result), base.toString());
    co_return reachable;
}

void OllamaReachability::recordUnreachable(const QUrl &base, const LLMError &failure)
{
    record(unreachable(failure), base.toString());
}

std::optional<QStringList> OllamaReachability::models(const QUrl &base) const
{
    std::lock_guard guard(lock_);
    const Result *result = fresh(base);
    return result ? result->models : std::nullopt;
}

OllamaReachability::Readiness OllamaReachability::readiness(const QUrl &base, const QString &model) const
{
    if (!speaksHttp(base))
        return Readiness::notHttp;
    std::lock_guard guard(lock_);
    const Result *result = fresh(base);
    if (!result)
        return Readiness::unknown;
    if (!result->ok)
        return result->certificateProblem.isEmpty() ? Readiness::noServer : Readiness::certificateRefused;
    if (result->models && !result->modelKeys.contains(modelKey(model)))
        return Readiness::notPulled;
    return Readiness::ready;
}

QString OllamaReachability::certificateProblem(const QUrl &base) const
{
    std::lock_guard guard(lock_);
    const Result *result = fresh(base);
    return result ? result->certificateProblem : QString();
}

void OllamaReachability::recordMissing(const QUrl &base, const QString &model)
{
    std::lock_guard guard(lock_);
    const auto it = results_.find(base.toString());
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
const OllamaReachability::Result *OllamaReachability::fresh(const QUrl &base) const
{
    const auto it = results_.find(base.toString());
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
