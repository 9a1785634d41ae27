#include "platform/x11/AtspiFocusReader.h"

#include <QCoroDBusPendingCall>
#include <QCoroSignal>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDateTime>
#include <QFutureWatcher>
#include <QPromise>
#include <QThreadPool>
#include <algorithm>
#include <chrono>
#include <memory>

namespace vima {
namespace {

// The whole question, from the first call to the answer: a replace waits on it.
constexpr qint64 budgetMs = 150;
// Calls made off the GUI thread while connecting.
constexpr int connectCallMs = 500;
constexpr int mostApplications = 64;
constexpr int mostNodes = 300;
constexpr int deepest = 24;

// Bits of an AT-SPI state set, its two words as one.
constexpr quint64 activeState = 1ull << 1;
constexpr quint64 editableState = 1ull << 7;
constexpr quint64 focusedState = 1ull << 12;
constexpr quint64 showingState = 1ull << 25;
constexpr quint64 managesDescendantsState = 1ull << 31;
constexpr quint64 readOnlyState = 1ull << 43;

bool isTextRole(quint32 role)
{
    using R = AtspiFocusReader;
    return role == R::passwordTextRole || role == R::textRole || role == R::paragraphRole || role == R::entryRole
        || role == R::documentFrameRole || (role >= R::documentSpreadsheetRole && role <= R::documentEmailRole);
}

const QString connectionName = QStringLiteral("tavelon-accessibility");
const QString accessibleInterface = QStringLiteral("org.a11y.atspi.Accessible");

struct Node {
    QString service;
    QDBusObjectPath path;
};

qint64 nowMs() { return QDateTime::currentMSecsSinceEpoch(); }

QDBusMessage busCall(const QString &method, const QVariantList &arguments)
{
    QDBusMessage message = QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.DBus"),
                                                          QStringLiteral("/org/freedesktop/DBus"),
                                                          QStringLiteral("org.freedesktop.DBus"), method);
    message.setArguments(arguments);
    return message;
}

QDBusMessage accessibleCall(const Node &node, const QString &method)
{
    return QDBusMessage::createMethodCall(node.service, node.path.path(), accessibleInterface, method);
}

bool answered(const QDBusMessage &reply)
{
    return reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty();
}

// The first `most` of the nodes a reply lists.
QList<Node> nodesOf(const QDBusMessage &reply, qsizetype most)
{
    QList<Node> nodes;
    if (!answered(reply))
        return nodes;
    const QDBusArgument list = reply.arguments().constFirst().value<QDBusArgument>();
    if (list.currentSignature() != QLatin1String("a(so)"))
        return nodes;
    list.beginArray();
    while (!list.atEnd() && nodes.size() < most) {
        Node node;
        list.beginStructure();
        list >> node.service >> node.path;
        list.endStructure();
        nodes.append(node);
    }
    list.endArray();
    return nodes;
}

std::optional<quint64> statesOf(const QDBusMessage &reply)
{
    if (!answered(reply))
        return std::nullopt;
    const QDBusArgument argument = reply.arguments().constFirst().value<QDBusArgument>();
    if (argument.currentSignature() != QLatin1String("au"))
        return std::nullopt;
    QList<quint32> words;
    argument >> words;
    return AtspiFocusReader::stateSet(words);
}

std::optional<quint32> roleOf(const QDBusMessage &reply)
{
    if (!answered(reply) || reply.arguments().constFirst().userType() != QMetaType::UInt)
        return std::nullopt;
    return reply.arguments().constFirst().toUInt();
}

// Sends every call at once and waits for each answer until the budget ends;
// a call not answered by then gives an empty message.
QCoro::Task<QList<QDBusMessage>> askAll(QDBusConnection bus, QList<QDBusMessage> calls, qint64 budgetEnd)
{
    QList<QDBusPendingCall> pending;
    const qint64 left = budgetEnd - nowMs();
    for (const QDBusMessage &call : calls)
        if (left > 0)
            pending.append(bus.asyncCall(call, int(left)));
    QList<QDBusMessage> replies;
    for (QDBusPendingCall &call : pending)
        replies.append(co_await call);
    replies.resize(calls.size());
    co_return replies;
}

// Connects off the GUI thread: connecting waits on the bus. Only a bus
// that runs already is used; asking its launcher by name would start one.
QString connectToAccessibilityBus()
{
    QDBusConnection session = QDBusConnection::sessionBus();
    if (!session.isConnected())
        return {};
    const QDBusMessage running =
        session.call(busCall(QStringLiteral("NameHasOwner"), {QStringLiteral("org.a11y.Bus")}), QDBus::Block,
                     connectCallMs);
    if (!answered(running) || !running.arguments().constFirst().toBool())
        return {};
    QDBusMessage ask = QDBusMessage::createMethodCall(QStringLiteral("org.a11y.Bus"), QStringLiteral("/org/a11y/bus"),
                                                      QStringLiteral("org.a11y.Bus"), QStringLiteral("GetAddress"));
    ask.setAutoStartService(false);
    const QDBusMessage address = session.call(ask, QDBus::Block, connectCallMs);
    if (!answered(address) || address.arguments().constFirst().toString().isEmpty())
        return {};
    if (!QDBusConnection::connectToBus(address.arguments().constFirst().toString(), connectionName).isConnected()) {
        QDBusConnection::disconnectFromBus(connectionName);
        return {};
    }
    return connectionName;
}

// The pid's applications on the accessibility bus.
QCoro::Task<QList<Node>> applicationsOf(QDBusConnection bus, qint64 pid, qint64 budgetEnd)
{
    const Node registry{QStringLiteral("org.a11y.atspi.Registry"),
                        QDBusObjectPath(QStringLiteral("/org/a11y/atspi/accessible/root"))};
    QList<QDBusMessage> asks{accessibleCall(registry, QStringLiteral("GetChildren"))};
    const QList<QDBusMessage> listed = co_await askAll(bus, asks, budgetEnd);
    const QList<Node> applications = nodesOf(listed.constFirst(), mostApplications);
    asks.clear();
    for (const Node &application : applications)
        asks.append(busCall(QStringLiteral("GetConnectionUnixProcessID"), {application.service}));
    const QList<QDBusMessage> pids = co_await askAll(bus, asks, budgetEnd);
    QList<Node> found;
    for (qsizetype i = 0; i < applications.size(); ++i)
        if (answered(pids.at(i)) && qint64(pids.at(i).arguments().constFirst().toUInt()) == pid)
            found.append(applications.at(i));
    co_return found;
}

// Breadth first from the applications' active windows, through what shows.
QCoro::Task<std::optional<bool>> focusedIsEditable(QDBusConnection bus, QList<Node> applications, qint64 budgetEnd)
{
    QList<QDBusMessage> asks;
    for (const Node &application : applications)
        asks.append(accessibleCall(application, QStringLiteral("GetChildren")));
    const QList<QDBusMessage> windows = co_await askAll(bus, asks, budgetEnd);
    QList<Node> level;
    for (const QDBusMessage &reply : windows)
        level += nodesOf(reply, mostNodes);
    int examined = 0;
    for (int depth = 0; depth <= deepest && !level.isEmpty(); ++depth) {
        level = level.mid(0, mostNodes - examined);
        examined += level.size();
        asks.clear();
        for (const Node &node : level)
            asks.append(accessibleCall(node, QStringLiteral("GetState")));
        const QList<QDBusMessage> states = co_await askAll(bus, asks, budgetEnd);
        asks.clear();
        for (qsizetype i = 0; i < level.size(); ++i) {
            const std::optional<quint64> state = statesOf(states.at(i));
            if (!state)
                continue;
            if (*state & focusedState) {
                const QList<QDBusMessage> ask{accessibleCall(level.at(i), QStringLiteral("GetRole"))};
                const QList<QDBusMessage> role = co_await askAll(bus, ask, budgetEnd);
                co_return AtspiFocusReader::takesTyping(roleOf(role.constFirst()), *state);
            }
            // Only the active window holds the focus; a list's rows are its own.
            const bool opens = depth == 0 ? (*state & activeState) : !(*state & managesDescendantsState);
            if (opens && (*state & showingState))
                asks.append(accessibleCall(level.at(i), QStringLiteral("GetChildren")));
        }
        const QList<QDBusMessage> children = co_await askAll(bus, asks, budgetEnd);
        level.clear();
        for (const QDBusMessage &reply : children)
            level += nodesOf(reply, mostNodes - examined);
    }
    co_return std::nullopt;
}

} // namespace

QCoro::Task<std::optional<QString>> AtspiFocusReader::connection(qint64 budgetEnd)
{
    if (QDBusConnection(connectionName).isConnected())
        co_return connectionName;
    // A try that failed, or a bus gone since: forget it, connect again.
    if (connecting_.isValid() && connecting_.isFinished())
        connecting_ = {};
    if (!connecting_.isValid()) {
        QDBusConnection::disconnectFromBus(connectionName);
        auto promise = std::make_shared<QPromise<QString>>();
        connecting_ = promise->future();
        promise->start();
        QThreadPool::globalInstance()->start([promise] {
            promise->addResult(connectToAccessibilityBus());
            promise->finish();
        });
    }
    // Another question may end the wait first and forget the try.
    const QFuture<QString> connecting = connecting_;
    QFutureWatcher<QString> watcher;
    watcher.setFuture(connecting);
    if (!connecting.isFinished())
        co_await qCoro(&watcher, &QFutureWatcher<QString>::finished,
                       std::chrono::milliseconds(std::max<qint64>(budgetEnd - nowMs(), 1)));
    if (!connecting.isFinished() || connecting.resultCount() == 0 || connecting.result().isEmpty())
        co_return std::nullopt;
    co_return connectionName;
}

std::optional<bool> AtspiFocusReader::takesTyping(std::optional<quint32> role, quint64 states)
{
    if ((states & editableState) && !(states & readOnlyState))
        return true;
    if (role && isTextRole(*role))
        return false;
    return std::nullopt;
}

std::optional<quint64> AtspiFocusReader::stateSet(const QList<quint32> &words)
{
    if (words.isEmpty())
        return std::nullopt;
    return words.constFirst() | (quint64(words.value(1)) << 32);
}

QCoro::Task<std::optional<bool>> AtspiFocusReader::focusIsEditable(qint64 pid)
{
    const qint64 budgetEnd = nowMs() + budgetMs;
    const std::optional<QString> name = co_await connection(budgetEnd);
    if (!name)
        co_return std::nullopt;
    const QDBusConnection bus(*name);
    const QList<Node> applications = co_await applicationsOf(bus, pid, budgetEnd);
    if (applications.isEmpty())
        co_return std::nullopt;
    co_return co_await focusedIsEditable(bus, applications, budgetEnd);
}

} // namespace vima
