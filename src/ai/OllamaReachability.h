#pragma once

#include "async/CancellationToken.h"
#include "async/Scheduler.h"

#include <QCoroTask>
#include <QSet>
#include <QString>
#include <QStringList>
#include <atomic>
#include <map>
#include <mutex>
#include <optional>

namespace vima {

class LLMError;

// Remembers, for a short while, whether the Ollama server at an address
// answered, so that a provider's status never waits on the network.
class OllamaReachability {
public:
    // How far the server at an address is from answering for a model, by the
    // last probe: an address libcurl can't read, one Tavelon doesn't fetch
    // (not http or https), not asked yet (or stale), nothing answered, its
    // certificate refused, the user name or password refused, a redirect
    // refused, answered without the model, or ready.
    enum class Readiness {
        unreadable,
        notHttp,
        unknown,
        noServer,
        certificateRefused,
        loginRefused,
        redirectRefused,
        notPulled,
        ready,
    };

    static constexpr double staleAfter = 30.0;
    static constexpr double probeTimeout = 1.5;

    explicit OllamaReachability(Scheduler &scheduler = Scheduler::system());
    // Cancels the probes still waiting: they end without a word of this cache.
    ~OllamaReachability();
    OllamaReachability(const OllamaReachability &) = delete;
    OllamaReachability &operator=(const OllamaReachability &) = delete;

    // The local server on its usual port; stands in for an empty address only.
    static QString defaultURL();
    // `base` as libcurl reads it, with one path component added after
    // whatever path it already has; empty when `base` isn't readable.
    static QByteArray appending(const QString &base, const QString &component);
    // Whether libcurl reads the address, with no '@' past its host (the rest
    // of a password holding an unencoded '#', '/' or '?').
    static bool isReadable(const QString &base);
    // Whether a readable address is one Tavelon asks: http or https.
    static bool speaksHttp(const QString &base);
    // Whether a failed exchange ended at the server's certificate.
    static bool refusedCertificate(const LLMError &error);

    // Asks the server for its model list and records whether it answered. A
    // cancelled probe says nothing about the server and is not recorded, nor
    // is an address that is unreadable or isn't http or https, which is never asked.
    QCoro::Task<bool> probe(QString base, CancellationToken token = {});
    // A request that failed for `failure` before the server could answer for
    // a model (no connection, a refused certificate, a refused user name or
    // password): it counts now, not only after the last good probe has gone stale.
    void recordUnreachable(const QString &base, const LLMError &failure);
    // The model names the server listed in its last answer; nothing when it
    // didn't answer, the answer is older than `staleAfter`, or its list could
    // not be read.
    std::optional<QStringList> models(const QString &base) const;
    // By the recorded answer while it is younger than `staleAfter`; a list
    // that could not be read counts as holding the model.
    Readiness readiness(const QString &base, const QString &model) const;
    // The server said it lacks the model: a list that named it counts as not
    // holding it now, not only after the next probe.
    void recordMissing(const QString &base, const QString &model);
    // Why the server's certificate was refused, in libcurl's words, or its
    // redirect, in the refusal's, when the recorded answer says so; empty otherwise.
    QString problem(const QString &base) const;
    // Whether a probe is still waiting for its server.
    bool isProbing() const { return probing_ > 0; }
    // Whether two names mean the same model: a name without a tag is ":latest".
    static bool sameModel(const QString &one, const QString &other);
    // What two names meaning the same model have in common, to look names up by.
    static QString modelKey(const QString &name);

private:
    struct Result {
        bool ok = false;
        double at = 0;
        std::optional<QStringList> models;
        QSet<QString> modelKeys; // of `models`
        Readiness failure = Readiness::noServer; // when not ok
        QString problem;
    };

    static Result unreachable(const LLMError &failure);

    const Result *fresh(const QString &base) const;
    void record(Result result, const QString &key);

    Scheduler &scheduler_;
    CancellationToken lifetime_;
    std::atomic<int> probing_ = 0;
    mutable std::mutex lock_;
    std::map<QString, Result> results_;
};

} // namespace vima
