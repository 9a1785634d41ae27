#pragma once

#include "model/RingItem.h"

#include <QCoroTask>
#include <QEventLoop>
#include <QUuid>
#include <exception>
#include <optional>

namespace vima::test {

// Runs a task to its end in a nested event loop, rethrowing what it threw.
template<typename T>
T await(QCoro::Task<T> task)
{
    QEventLoop loop;
    bool done = false;
    std::exception_ptr error;
    std::optional<std::conditional_t<std::is_void_v<T>, bool, T>> result;
    auto wrapper = [&]() -> QCoro::Task<void> {
        try {
            if constexpr (std::is_void_v<T>) {
                co_await std::move(task);
                result = true;
            } else {
                result = co_await std::move(task);
            }
        } catch (...) {
            error = std::current_exception();
        }
        done = true;
        loop.quit();
    };
    auto running = wrapper();
    if (!done)
        loop.exec();
    if (error)
        std::rethrow_exception(error);
    if constexpr (!std::is_void_v<T>)
        return std::move(*result);
}

inline RingItem item(const QString &title, ItemAction action)
{
    return {QUuid::createUuid(), title, IconSpec::symbol(QStringLiteral("sparkles")), 0, std::move(action)};
}

inline RingItem shellItem(const QString &title, const QString &script, bool showOutput = true)
{
    return item(title, {ShellPayload{script, QStringLiteral("/bin/sh"), showOutput}});
}

} // namespace vima::test
