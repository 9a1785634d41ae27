#include "async/CancellationToken.h"

#include "async/Cancelled.h"

#include <map>

namespace vima {

struct CancellationToken::State {
    bool cancelled = false;
    Registration next = 1;
    std::map<Registration, std::function<void()>> callbacks;
};

CancellationToken::CancellationToken() : d(std::make_shared<State>()) {}

void CancellationToken::cancel()
{
    if (d->cancelled)
        return;
    d->cancelled = true;
    // A callback may resume work that registers or removes callbacks.
    auto callbacks = std::move(d->callbacks);
    d->callbacks.clear();
    for (auto &[id, callback] : callbacks)
        callback();
}

bool CancellationToken::isCancelled() const { return d->cancelled; }

void CancellationToken::throwIfCancelled() const
{
    if (d->cancelled)
        throw Cancelled();
}

CancellationToken::Registration CancellationToken::onCancel(std::function<void()> callback) const
{
    if (d->cancelled) {
        callback();
        return 0;
    }
    const Registration id = d->next++;
    d->callbacks.emplace(id, std::move(callback));
    return id;
}

void CancellationToken::removeCallback(Registration registration) const
{
    d->callbacks.erase(registration);
}

} // namespace vima
