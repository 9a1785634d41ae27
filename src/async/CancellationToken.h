#pragma once

#include <QtGlobal>
#include <functional>
#include <memory>

namespace vima {

// A shared flag that long work checks at its cancellation points. Copies share
// one state; cancelling any copy cancels them all.
class CancellationToken {
public:
    using Registration = quint64;

    CancellationToken();

    void cancel();
    bool isCancelled() const;
    // Throws Cancelled once cancelled.
    void throwIfCancelled() const;

    // Calls `callback` once on cancellation (at once when already cancelled,
    // returning 0). Keep the registration to remove it when no longer wanted.
    Registration onCancel(std::function<void()> callback) const;
    void removeCallback(Registration registration) const;

private:
    struct State;
    std::shared_ptr<State> d;
};

} // namespace vima
