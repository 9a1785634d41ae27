#pragma once

#include <QHash>
#include <QObject>
#include <QString>
#include <QVariant>
#include <functional>

namespace vima {

// In-process notifications between subsystems, by name, with an optional
// object. Observers run on the thread that posts (the GUI thread).
class NotificationCenter final {
public:
    using Observer = std::function<void(const QVariant &object)>;
    using Token = quint64;

    Token observe(const QString &name, Observer observer);
    void remove(Token token);
    void post(const QString &name, const QVariant &object = {});

private:
    struct Entry {
        QString name;
        Observer observer;
    };
    Token next_ = 1;
    QHash<Token, Entry> observers_;
};

} // namespace vima
