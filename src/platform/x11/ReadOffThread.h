#pragma once

#include "async/CancellationToken.h"

#include <QCoroFuture>
#include <QCoroTask>
#include <QPromise>
#include <QThreadPool>
#include <atomic>
#include <memory>

namespace vima::x11 {

// Runs a read of another program's selection on a worker thread and resumes
// the caller with its result, so the GUI thread never waits on that program.
// `read` gets the flag an X11SelectionReader takes: cancelling the token sets
// it, the read ends within milliseconds, and the caller gets Cancelled.
template<typename T, typename Read>
QCoro::Task<T> readOffThread(Read read, CancellationToken token)
{
    auto abort = std::make_shared<std::atomic_bool>(false);
    auto promise = std::make_shared<QPromise<T>>();
    QFuture<T> future = promise->future();
    promise->start();
    const auto registration = token.onCancel([abort] { *abort = true; });
    QThreadPool::globalInstance()->start([promise, abort, read = std::move(read)] {
        promise->addResult(read(*abort));
        promise->finish();
    });
    T result = co_await future;
    token.removeCallback(registration);
    token.throwIfCancelled();
    co_return result;
}

} // namespace vima::x11
