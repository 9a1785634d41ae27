#include "AtspiClient.h"

#include <QDBusArgument>
#include <QDBusInterface>
#include <QDBusMessage>
#include <QDBusReply>
#include <QDBusVariant>

namespace {

const QString accessibleInterface = QStringLiteral("org.a11y.atspi.Accessible");
// Bits of the first word of an AT-SPI state set.
constexpr quint32 checkedState = 1u << 4;
constexpr quint32 focusedState = 1u << 12;
constexpr quint32 showingState = 1u << 25;
constexpr quint32 visibleState = 1u << 30;

QDBusConnection connectToAccessibilityBus()
{
    QDBusInterface launcher(QStringLiteral("org.a11y.Bus"), QStringLiteral("/org/a11y/bus"),
                            QStringLiteral("org.a11y.Bus"), QDBusConnection::sessionBus());
    const QDBusReply<QString> address = launcher.call(QStringLiteral("GetAddress"));
    return QDBusConnection::connectToBus(address.isValid() ? address.value() : QString(),
                                         QStringLiteral("atspi-client"));
}

} // namespace

AtspiClient::AtspiClient() : bus_(connectToAccessibilityBus()) {}

QDBusMessage AtspiClient::call(const Node &node, const QString &interface, const QString &method,
                               const QVariantList &arguments) const
{
    QDBusMessage message = QDBusMessage::createMethodCall(node.service, node.path.path(), interface, method);
    message.setArguments(arguments);
    return bus_.call(message, QDBus::Block, 5000);
}

QList<AtspiClient::Node> AtspiClient::children(const Node &node) const
{
    const QDBusMessage reply = call(node, accessibleInterface, QStringLiteral("GetChildren"));
    QList<Node> found;
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return found;
    const QDBusArgument list = reply.arguments().constFirst().value<QDBusArgument>();
    list.beginArray();
    while (!list.atEnd()) {
        Node child;
        list.beginStructure();
        list >> child.service >> child.path;
        list.endStructure();
        found.append(child);
    }
    list.endArray();
    return found;
}

QString AtspiClient::name(const Node &node) const
{
    const QDBusMessage reply = call(node, QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"),
                                    {accessibleInterface, QStringLiteral("Name")});
    return reply.arguments().isEmpty() ? QString()
                                       : reply.arguments().constFirst().value<QDBusVariant>().variant().toString();
}

QString AtspiClient::role(const Node &node) const
{
    const QDBusMessage reply = call(node, accessibleInterface, QStringLiteral("GetRoleName"));
    return reply.arguments().isEmpty() ? QString() : reply.arguments().constFirst().toString();
}

quint32 AtspiClient::stateBits(const Node &node, int word) const
{
    const QDBusMessage reply = call(node, accessibleInterface, QStringLiteral("GetState"));
    if (reply.arguments().isEmpty())
        return 0;
    QList<quint32> words;
    reply.arguments().constFirst().value<QDBusArgument>() >> words;
    return word < words.size() ? words.at(word) : 0;
}

bool AtspiClient::isShowing(const Node &node) const { return stateBits(node, 0) & showingState; }

bool AtspiClient::isVisible(const Node &node) const { return stateBits(node, 0) & visibleState; }

bool AtspiClient::isChecked(const Node &node) const { return stateBits(node, 0) & checkedState; }

bool AtspiClient::isFocused(const Node &node) const { return stateBits(node, 0) & focusedState; }

AtspiClient::Node AtspiClient::application(const QString &wanted) const
{
    const Node registry{QStringLiteral("org.a11y.atspi.Registry"),
                        QDBusObjectPath(QStringLiteral("/org/a11y/atspi/accessible/root"))};
    for (const Node &app : children(registry))
        if (name(app).contains(wanted, Qt::CaseInsensitive))
            return app;
    return {};
}

AtspiClient::Node AtspiClient::find(const Node &root, const std::function<bool(const Node &)> &matches) const
{
    for (const Node &child : children(root)) {
        if (!isShowing(child))
            continue;
        if (matches(child))
            return child;
        if (const Node inner = find(child, matches); !inner.isNull())
            return inner;
    }
    return {};
}

QList<AtspiClient::Node> AtspiClient::findAll(const Node &root, const std::function<bool(const Node &)> &matches) const
{
    QList<Node> found;
    for (const Node &child : children(root)) {
        if (matches(child))
            found.append(child);
        found += findAll(child, matches);
    }
    return found;
}

AtspiClient::Node AtspiClient::find(const Node &root, const QString &wantedRole, const QString &wantedName) const
{
    return find(root, [&](const Node &node) { return role(node) == wantedRole && name(node) == wantedName; });
}

bool AtspiClient::doAction(const Node &node, const QString &action) const
{
    const QString actionInterface = QStringLiteral("org.a11y.atspi.Action");
    const QDBusMessage reply = call(node, actionInterface, QStringLiteral("GetActions"));
    if (reply.arguments().isEmpty())
        return false;
    const QDBusArgument list = reply.arguments().constFirst().value<QDBusArgument>();
    int index = -1;
    list.beginArray();
    for (int i = 0; !list.atEnd(); ++i) {
        QString actionName, description, keys;
        list.beginStructure();
        list >> actionName >> description >> keys;
        list.endStructure();
        if (index < 0 && actionName == action)
            index = i;
    }
    list.endArray();
    if (index < 0)
        return false;
    const QDBusMessage done = call(node, actionInterface, QStringLiteral("DoAction"), {index});
    return done.type() == QDBusMessage::ReplyMessage;
}

QString AtspiClient::text(const Node &node) const
{
    const QDBusMessage reply = call(node, QStringLiteral("org.a11y.atspi.Text"), QStringLiteral("GetText"), {0, -1});
    return reply.arguments().isEmpty() ? QString() : reply.arguments().constFirst().toString();
}

bool AtspiClient::setText(const Node &node, const QString &text) const
{
    const QDBusMessage reply =
        call(node, QStringLiteral("org.a11y.atspi.EditableText"), QStringLiteral("SetTextContents"), {text});
    return !reply.arguments().isEmpty() && reply.arguments().constFirst().toBool();
}
