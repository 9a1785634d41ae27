#pragma once

#include "async/CancellationToken.h"
#include "async/Scheduler.h"

#include <QCoroTask>
#include <QString>
#include <QUrl>
#include <map>
#include <mutex>
#include <optional>

namespace vima {

// Remembers, for a short while, whether the Ollama server at an address
// answered, so that a provider's status never waits on the network.
class OllamaReachability {
public:
    static constexpr double staleAfter = 30.0;
    static constexpr double probeTimeout = 1.5;

    explicit OllamaReachability(Scheduler &scheduler = Scheduler::system());

    // The local server on its usual port; stands in for a missing or unparseable address.
    static QUrl defaultURL();
    // `base` with one path component added after whatever path it already has.
    static QUrl appending(const QUrl &base, const QString &component);

    // Asks the server for its model list and records whether it answered. A
    // cancelled probe says nothing about the server and is not recorded.
    QCoro::Task<bool> probe(QUrl base, CancellationToken token = {});
    // The recorded answer while it is younger than `staleAfter`.
    std::optional<bool> lookup(const QUrl &base) const;

private:
    struct Result {
        bool ok = false;
        double at = 0;
    };

    void record(bool ok, const QString &key);

    Scheduler &scheduler_;
    mutable std::mutex lock_;
    std::map<QString, Result> results_;
};

} // namespace vima
