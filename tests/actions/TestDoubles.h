#pragma once

#include "../support/Await.h"
#include "model/RingItem.h"

#include <QCoroTask>
#include <QDir>
#include <QFile>
#include <QUuid>
#include <exception>
#include <memory>
#include <optional>

namespace vima::test {

// What a task started without an event loop has come to so far.
template<typename T>
struct Recorded {
    bool done = false;
    std::optional<T> value;
    std::exception_ptr error;

    template<typename Error>
    bool threw() const
    {
        if (!error)
            return false;
        try {
            std::rethrow_exception(error);
        } catch (const Error &) {
            return true;
        } catch (...) {
            return false;
        }
    }
};

// Starts a task that runs on a fake scheduler; the result fills in as the
// scheduler's clock moves.
template<typename T>
std::shared_ptr<Recorded<T>> start(QCoro::Task<T> task)
{
    auto recorded = std::make_shared<Recorded<T>>();
    [](QCoro::Task<T> task, std::shared_ptr<Recorded<T>> into) -> QCoro::Task<void> {
        try {
            into->value = co_await std::move(task);
        } catch (...) {
            into->error = std::current_exception();
        }
        into->done = true;
    }(std::move(task), recorded);
    return recorded;
}

inline std::shared_ptr<Recorded<bool>> start(QCoro::Task<void> task)
{
    return start([](QCoro::Task<void> task) -> QCoro::Task<bool> {
        co_await std::move(task);
        co_return true;
    }(std::move(task)));
}

// How many processes of the process group are alive (a zombie has ended).
inline int livingProcessesOfGroup(qint64 group)
{
    int living = 0;
    for (const QString &pid : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        const QByteArray line = stat.readAll();
        // After the command name's closing parenthesis: state, parent, group.
        const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
        if (fields.size() > 2 && fields.at(2).toLongLong() == group && fields.at(0) != "Z")
            ++living;
    }
    return living;
}

// The number a script wrote to `path` (its shell's pid, also its group), or 0.
inline qint64 numberIn(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll().trimmed().toLongLong() : 0;
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
