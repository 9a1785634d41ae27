#pragma once

#include <QDBusConnection>
#include <QDBusObjectPath>
#include <QString>
#include <functional>
#include <optional>

// A small assistive-technology client: finds accessible objects of a running
// application on the accessibility bus (AT-SPI 2 over D-Bus) and operates
// them the way a screen reader or a voice-control tool does.
class AtspiClient {
public:
    struct Node {
        QString service;
        QDBusObjectPath path;
        bool isNull() const { return service.isEmpty(); }
    };

    // Connects to the accessibility bus of the session, starting it when needed.
    AtspiClient();
    bool isConnected() const { return bus_.isConnected(); }

    // The application whose accessible name contains `name` (case-insensitive).
    Node application(const QString &name) const;
    QList<Node> children(const Node &node) const;
    QString name(const Node &node) const;
    QString role(const Node &node) const;
    bool isShowing(const Node &node) const;
    bool isVisible(const Node &node) const;
    bool isChecked(const Node &node) const;
    bool isFocused(const Node &node) const;

    // The first showing object under `root`, depth first, with the role and name given.
    Node find(const Node &root, const QString &role, const QString &name) const;
    Node find(const Node &root, const std::function<bool(const Node &)> &matches) const;
    // Every object under `root` that matches, showing or not.
    QList<Node> findAll(const Node &root, const std::function<bool(const Node &)> &matches) const;

    // Runs the action called `action` ("Press", "Toggle"); false when the object has none.
    bool doAction(const Node &node, const QString &action) const;
    QString text(const Node &node) const;
    bool setText(const Node &node, const QString &text) const;

private:
    QDBusMessage call(const Node &node, const QString &interface, const QString &method,
                      const QVariantList &arguments = {}) const;
    quint32 stateBits(const Node &node, int word) const;

    QDBusConnection bus_;
};
